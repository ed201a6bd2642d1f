#pragma once
// Fixed lists of texts shared by the suite's programs. Each list is writable:
// the message catalogue (LoadMessages) replaces some entries at start-up, the
// others keep their built-in text.
#include <array>
#include <string>

namespace shared {

extern std::array<std::wstring, 23> SectionTags1;
extern std::array<std::wstring, 23> SectionTags2;
extern std::array<std::wstring, 11> DecisionTags;
extern std::array<std::wstring, 9> ADTags;
extern std::array<std::wstring, 15> LeadNames;
extern std::array<std::wstring, 3> ConstitutionNames;
extern std::array<std::wstring, 22> DiseaseNames;
extern std::array<std::wstring, 9> DrugNames;
extern std::array<std::wstring, 5> ConductionNames;
extern std::array<std::wstring, 74> ViewItemNames;
extern std::array<std::wstring, 4> ToleranceNames;
// Four pairs: the activity advice for a level of capacity, then its walking
// pace; in order of decreasing capacity.
extern std::array<std::wstring, 8> ActivityAdvice;

} // namespace shared
