#include "support/ScriptedDialogs.h"

#include <QTest>

using namespace Qt::StringLiterals;

QStringList ScriptedDialogs::boxTexts() const
{
    QStringList texts;
    for (const auto& box : m_boxes)
        texts << box.text;
    return texts;
}

void ScriptedDialogs::clear()
{
    m_boxAnswers.clear();
    m_inputAnswers.clear();
    m_fileAnswers.clear();
    m_openAnswers.clear();
    m_boxes.clear();
    m_prompts.clear();
}

Dialogs::Answer ScriptedDialogs::message(const Dialogs::Box& box)
{
    m_boxes << box;
    if (onBox)
        onBox(box);
    if (m_boxAnswers.isEmpty()) {
        QTest::qFail(qPrintable(u"unexpected message box: \"%1\" (%2)"_s.arg(box.text, box.title)), __FILE__,
                     __LINE__);
        return Dialogs::Answer::No;
    }
    return m_boxAnswers.dequeue();
}

QString ScriptedDialogs::nextAnswer(QQueue<QString>& answers, const QString& prompt, const QString& dialog)
{
    m_prompts << prompt;
    if (answers.isEmpty()) {
        QTest::qFail(qPrintable(u"unexpected "_s + dialog), __FILE__, __LINE__);
        return QString();
    }
    return answers.dequeue();
}

QString ScriptedDialogs::input(const QString& prompt, const QString& title)
{
    return nextAnswer(m_inputAnswers, prompt, u"input box: \"%1\" (%2)"_s.arg(prompt, title));
}

QString ScriptedDialogs::saveFileName(const QString& caption, const QString&, const QString&)
{
    return nextAnswer(m_fileAnswers, caption, u"save dialog: \"%1\""_s.arg(caption));
}

QString ScriptedDialogs::openFileName(const QString& caption, const QString&, const QString&)
{
    return nextAnswer(m_openAnswers, caption, u"open dialog: \"%1\""_s.arg(caption));
}
