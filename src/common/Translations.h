#pragma once

class QCoreApplication;

// The interface is Russian whatever the machine's language: Qt's own texts
// (file dialogs, the context menus of text boxes) are loaded in Russian from
// the installed Qt translations. Returns false when they are not installed;
// the program then runs with Qt's English texts, its own stay Russian.
bool installRussianTranslations(QCoreApplication& application);
