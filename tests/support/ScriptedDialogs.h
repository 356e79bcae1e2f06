#pragma once

#include "common/Dialogs.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <functional>

// While it exists, the dialog backend: records every box and answers from a
// script; a box with no answer queued fails the running test (answered No / Cancel).
class ScriptedDialogs final : public Dialogs::Backend
{
    Q_DISABLE_COPY_MOVE(ScriptedDialogs)

public:
    ScriptedDialogs() { Dialogs::setBackend(this); }
    ~ScriptedDialogs() override { Dialogs::setBackend(nullptr); }

    // Queue answers in the order the boxes will appear.
    void expectBox(Dialogs::Answer answer = Dialogs::Answer::Ok) { m_boxAnswers.enqueue(answer); }
    void expectInput(const QString& answer) { m_inputAnswers.enqueue(answer); }
    void expectSaveFile(const QString& path) { m_fileAnswers.enqueue(path); }
    void expectOpenFile(const QString& path) { m_openAnswers.enqueue(path); }

    const QList<Dialogs::Box>& boxes() const { return m_boxes; }
    QStringList boxTexts() const
    {
        QStringList texts;
        for (const auto& box : m_boxes)
            texts << box.text;
        return texts;
    }
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
    QString input(const QString& prompt, const QString& title) override
    {
        return nextAnswer(m_inputAnswers, prompt,
                          QStringLiteral("input box: \"%1\" (%2)").arg(prompt, title));
    }
    QString saveFileName(const QString& caption, const QString&, const QString&) override
    {
        return nextAnswer(m_fileAnswers, caption, QStringLiteral("save dialog: \"%1\"").arg(caption));
    }
    QString openFileName(const QString& caption, const QString&, const QString&) override
    {
        return nextAnswer(m_openAnswers, caption, QStringLiteral("open dialog: \"%1\"").arg(caption));
    }

private:
    // The next answer queued, or a failure of the running test naming the unexpected `dialog`.
    QString nextAnswer(QQueue<QString>& answers, const QString& prompt, const QString& dialog);

    QQueue<Dialogs::Answer> m_boxAnswers;
    QQueue<QString> m_inputAnswers;
    QQueue<QString> m_fileAnswers;
    QQueue<QString> m_openAnswers;
    QList<Dialogs::Box> m_boxes;
    QList<QString> m_prompts;
};
