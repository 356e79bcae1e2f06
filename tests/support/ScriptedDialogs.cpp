#include "support/ScriptedDialogs.h"

#include <QTest>

using namespace Qt::StringLiterals;

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
        const QString what = u"unexpected message box: \"%1\" (%2)"_s.arg(box.text, box.title);
        QTest::qFail(qPrintable(what), __FILE__, __LINE__);
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
