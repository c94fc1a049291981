#pragma once

#include <string>

#include "accounts/account.h"

namespace quobel {

class TIniFile;

// Reads an account file into the account (defaults for what is missing). A stored password that
// is not valid scrambled text leaves Password empty and keeps the stored text in
// UnreadableStoredPassword; the function then throws Error("Base64: Incorrect string format")
// after reading the whole file, so the caller can report it.
void LoadAccount(TAccount& account, const std::string& fileName);

// Writes the account's keys (in table order) and its known keys, as one atomic file update.
// Keys the file holds beyond these stay. Throws Error("Unable to write to ...").
void SaveAccount(const TAccount& account, const std::string& fileName);

}  // namespace quobel
