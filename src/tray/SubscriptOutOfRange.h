#pragma once

#include <stdexcept>
#include <string>

// Error 9 of the tray object: an index or key that designates no menu item.
// The menu is left unchanged; the caller decides what to do.
class SubscriptOutOfRange final : public std::out_of_range
{
public:
    static constexpr int kNumber = 9;

    explicit SubscriptOutOfRange(const std::string& what) : std::out_of_range(what) {}

    int number() const { return kNumber; }
};
