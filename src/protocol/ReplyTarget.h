#pragma once

#include <QString>

// The owners of reply payloads, as the dispatcher sees them. The recipe and
// fitness side implements it; the dispatcher only routes.
class ReplyTarget
{
public:
    virtual ~ReplyTarget() = default;
    // "$BB=": refill the collection list, select the first, show the window.
    virtual void form_Bases_Bl(const QString& payload) = 0;
    // "$Dishes=": refill the dish list, or show the no-recipes line.
    virtual void form_Dishes_Bl(const QString& payload) = 0;
    // "$HSDishes=" (the status line is already written): store the payload as
    // CurrentHS, then form_HS_Dish(CurrentHS, true).
    virtual void receiveComposition(const QString& payload) = 0;
    // "$Man_Norm=" / "$Girl_Norm=": create the fitness window if needed
    // (without showing it), set its sNorm to the payload, then form_fiz_Norm.
    virtual void receiveNorm(const QString& payload) = 0;
    // "$No_Fiz_NormDB": a norm request was answered without a table.
    virtual void noNormTable() {}
};
