#pragma once
// The chosen language for the whole process, set up before the first widget is made: in English
// the program's translation; in Korean the toolkit's own Korean texts (its buttons, the file
// dialog, the edit menu of every text box), which it otherwise shows in English.
#include <QString>

#include "text/EventTranslator.h"
#include "text/Language.h"

// Installs the translators for the language (replacing those of an earlier call) and makes it
// the default locale. False when a translation could not be loaded: the texts then stay as
// they are written (Korean for the program's own, English for the toolkit's).
bool InstallTranslations(ELanguage eLanguage);

// The event phrases as the installed translation has them (a translator that changes nothing
// while Korean is installed).
CEventTranslator MakeEventTranslator();
