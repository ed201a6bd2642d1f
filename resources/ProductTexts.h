#pragma once
// Texts that the string table and the version information share, so that
// they cannot drift apart (UTF-8, for Install.rc only).
#define VESTAR_APP_DIR_NAME "Holter"
#define VESTAR_PRODUCT_NAME "Вестар"
// The publisher shown in the list of installed programs.
#define VESTAR_COMPANY_NAME "Вестар"
#define VESTAR_PRODUCT_DESCRIPTION "Комплекс суточного мониторирования электрокардиограмм"
#define VESTAR_MAIN_EXECUTABLE "Portal.exe"
