#pragma once
// The message catalogue of the shared procedures.
#include <string>

namespace shared {

// Catalogue variables (keys of section VS_Common_Proc).
extern std::wstring Sbo;
extern std::wstring Met;
extern std::wstring nnn;
extern std::wstring sss;

// Reads the catalogue from MessageFile into the lists and variables: each key
// with its Russian default, which every entry takes when MessageFile is empty
// or missing. A key present with an empty value gives an empty text.
void LoadMessages();

// The module's start-up, after that of VS_Common_Var: loads the catalogue.
void InitializeCommonProc();

} // namespace shared
