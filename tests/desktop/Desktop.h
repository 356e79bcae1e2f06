#pragma once

#include <QProcess>

#include <memory>
#include <vector>

// A real X desktop: Xvfb on a display number it picks itself, the openbox
// window manager and a trayer notification area, all stopped when it goes.
class Desktop final
{
public:
    Desktop();
    ~Desktop();

    // Why the desktop could not be started; empty when it runs.
    QString error() const { return m_error; }
    // The environment for a program on this desktop: no session bus, so Qt
    // uses the XEmbed notification area that trayer hosts.
    QProcessEnvironment environment() const;

    // Starts `program` on this desktop; stopped with the desktop.
    QProcess& start(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment);

    // Runs an X tool to its end and gives its standard output, trimmed.
    QString x(const QString& tool, const QStringList& arguments) const;
    // The caption as the window manager shows it.
    QString title(const QString& window) const;
    bool isMapped(const QString& window) const;

private:
    std::vector<std::unique_ptr<QProcess>> m_processes; // stopped newest first
    QString m_display;
    QString m_error;
};
