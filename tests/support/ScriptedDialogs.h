#pragma once

#include "common/Dialogs.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>

// Answers the program's boxes from a script instead of showing them. While it
// exists it is the dialog backend. Every box is recorded; a box for which no
// answer was queued fails the running test (and is answered No / Cancel).
class ScriptedDialogs final : public Dialogs::Backend
{
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // Queue answers in the order the boxes will appear.
    void expectBox(Dialogs::Answer answer = Dialogs::Answer::Ok);
    void expectInput(const QString& answer);
    void expectSaveFile(const QString& path);
    void expectOpenFile(const QString& path);

    // What was shown so far, oldest first.
    const QList<Dialogs::Box>& boxes() const { return m_boxes; }
    QStringList boxTexts() const;
    const QList<QString>& prompts() const { return m_prompts; }

    // Runs as each box appears, before it is answered: what is on show then.
    std::function<void(const Dialogs::Box&)> onBox;

    // Answers queued but never asked for.
    int pending() const
    {
        return int(m_boxAnswers.size() + m_inputAnswers.size() + m_fileAnswers.size() + m_openAnswers.size());
    }
    void clear();

    Dialogs::Answer message(const Dialogs::Box& box) override;
    QString input(const QString& prompt, const QString& title) override;
    QString saveFileName(const QString& caption, const QString& suggestedPath,
                         const QString& filter) override;
    QString openFileName(const QString& caption, const QString& folder, const QString& filter) override;

private:
    QQueue<Dialogs::Answer> m_boxAnswers;
    QQueue<QString> m_inputAnswers;
    QString fileAnswer(QQueue<QString>& answers, const char* kind, const QString& caption);
    QQueue<QString> m_fileAnswers;
    QQueue<QString> m_openAnswers;
    QList<Dialogs::Box> m_boxes;
    QList<QString> m_prompts;
};
