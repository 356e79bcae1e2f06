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
    ScriptedDialogs() { Dialogs::setBackend(this); }
    ~ScriptedDialogs() override { Dialogs::setBackend(nullptr); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // Queue answers in the order the boxes will appear.
    void expectBox(Dialogs::Answer answer = Dialogs::Answer::Ok) { m_boxAnswers.enqueue(answer); }
    void expectInput(const QString& answer) { m_inputAnswers.enqueue(answer); }
    void expectSaveFile(const QString& path) { m_fileAnswers.enqueue(path); }
    void expectOpenFile(const QString& path) { m_openAnswers.enqueue(path); }

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
    // The next answer queued, or a failure of the running test describing
    // the unexpected `dialog`.
    QString nextAnswer(QQueue<QString>& answers, const QString& prompt, const QString& dialog);
    QQueue<QString> m_fileAnswers;
    QQueue<QString> m_openAnswers;
    QList<Dialogs::Box> m_boxes;
    QList<QString> m_prompts;
};
