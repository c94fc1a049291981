#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace quobel {

// Texts the user reads that are made below the user interface (task names and states, error
// headlines, notification texts) stay English here and are translated by the user interface
// when it shows them (ui/common/lower_texts.h). USER_TEXT marks such a text so that lupdate
// collects it: it is an alias of QT_TRANSLATE_NOOP (scripts/update-translations.sh), and its
// context is always "Quobel", the one the user interface looks them up in.
#define USER_TEXT(context, text) (text)

// A marked pattern with its %1, %2, ... replaced by the arguments in order ("Connecting to
// %1..."): the user interface recognises the pattern in the finished text and translates both.
std::string FormatUserText(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace quobel
