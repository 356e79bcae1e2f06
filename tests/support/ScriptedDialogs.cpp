#include "support/ScriptedDialogs.h"

#include <QTest>

using namespace Qt::StringLiterals;

ScriptedDialogs::ScriptedDialogs()
{
    Dialogs::setBackend(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    Dialogs::setBackend(nullptr);
}

void ScriptedDialogs::expectBox(Dialogs::Answer answer)
{
    m_boxAnswers.enqueue(answer);
}

void ScriptedDialogs::expectInput(const QString& answer)
{
    m_inputAnswers.enqueue(answer);
}

void ScriptedDialogs::expectSaveFile(const QString& path)
{
    m_fileAnswers.enqueue(path);
}

void ScriptedDialogs::expectOpenFile(const QString& path)
{
    m_openAnswers.enqueue(path);
}

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

QString ScriptedDialogs::input(const QString& prompt, const QString& title)
{
    m_prompts << prompt;
    if (m_inputAnswers.isEmpty()) {
        QTest::qFail(qPrintable(u"unexpected input box: \"%1\" (%2)"_s.arg(prompt, title)), __FILE__,
                     __LINE__);
        return QString();
    }
    return m_inputAnswers.dequeue();
}

QString ScriptedDialogs::fileAnswer(QQueue<QString>& answers, const char* kind, const QString& caption)
{
    m_prompts << caption;
    if (answers.isEmpty()) {
        QTest::qFail(qPrintable(u"unexpected %1 dialog: \"%2\""_s.arg(QLatin1String(kind), caption)),
                     __FILE__, __LINE__);
        return QString();
    }
    return answers.dequeue();
}

QString ScriptedDialogs::saveFileName(const QString& caption, const QString&, const QString&)
{
    return fileAnswer(m_fileAnswers, "save", caption);
}

QString ScriptedDialogs::openFileName(const QString& caption, const QString&, const QString&)
{
    return fileAnswer(m_openAnswers, "open", caption);
}
