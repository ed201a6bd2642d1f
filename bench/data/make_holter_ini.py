#!/usr/bin/env python3
"""Writes the holter.ini used by the INI benchmarks, in the two encodings the
settings files come in: holter-ansi.ini (code page 1251, no byte-order mark)
and holter-utf16.ini (UTF-16LE with its mark). Lines end in CR LF.

The content is that of a workstation's settings after some use: the options
the installer and the suite read, paths, colours of the view items, report
sections, leads, recorders, doctors, the last patient, form positions and the
recent files. About 400 lines.

Run from this directory: python3 make_holter_ini.py
"""

OPTIONS = [
    ("forGE", "0"), ("FilterType", "0"), ("DefaultRegType", "3"), ("doformshow", "1"),
    ("DebugPrint", "0"), ("DebugMy", "0"), ("PoverkaView", "0"), ("HviewDebug", "0"),
    ("ECGAtRestWork", "1"), ("onlydecode", "0"), ("saveswap", "0"),
    ("Channel1Gain", "1.0"), ("Channel2Gain", "1.25"), ("GroupProcess", "0"),
    ("EnabledScrining", "1"), ("HardwareType", "1"), ("LanguageSetting", "RUS"),
    ("new_reg", "2"), ("NurseMode", "1"), ("DoctorMode", "1"), ("EMIASTESTINGMODE", "0"),
    ("EMIASEMULATINGMODE", "0"), ("RegEmulating", "0"), ("AriadnaSearchTesting", "0"),
    ("UserIsMS", "0"), ("PraktikaSearchTesting", "0"), ("PraktikaTesting", "0"),
]

SECTION_TAGS = [
    "Common", "Rythm", "Pulse", "ConductionAbnormality", "Supraventricular", "Ventricular",
    "BlockadeAndPause", "PQ", "ST", "QT", "Variability", "TWAanalisys", "HRTanalisys",
    "HRanalisys", "BadMarks", "MainDecision", "AdditionalGraphs", "Scrinig", "Dinamic", "AD",
    "AverComplex", "DoctorDecision", "Recomendation",
]

LEADS = ["I", "II", "III", "avR", "avL", "avF", "V1", "V2", "V3", "V4", "V5", "V6", "D", "A", "J"]

DOCTORS = [
    "Иванова Мария Петровна", "Петров Сергей Иванович", "Сидорова Анна Викторовна",
    "Кузнецов Олег Николаевич", "Смирнова Елена Андреевна", "Волков Дмитрий Сергеевич",
    "Морозова Ольга Юрьевна", "Лебедев Алексей Михайлович",
]

DEPARTMENTS = [
    "Кардиология", "Терапия", "Функциональная диагностика", "Поликлиника",
    "Детское отделение", "Реанимация",
]

FORMS = [
    "FMain", "FView", "FReport", "FSettings", "FPatient", "FArchive", "FPrint", "FRhythm",
    "FST", "FQT", "FVariability", "FAD", "FHistogram", "FTrend", "FEcgAtRest", "FExport",
    "FImport", "FDecode", "FRecorder", "FAbout",
]


def sections():
    yield "options", [f"{k}={v}" for k, v in OPTIONS]
    yield "Paths", [
        "DataDir=C:\\Holter\\DTAfb\\",
        "Archive=D:\\Архив ЭКГ\\",
        "Reports=C:\\Holter\\Отчёты\\",
        "Export=C:\\Holter\\Export\\",
        "AtesIn=C:\\Holter\\AtesIn\\",
        "AtesOut=C:\\Holter\\AtesOut\\",
        "Backup=C:\\Holter\\Backup\\",
        "Updater=C:\\Holter\\Updater\\",
    ]
    yield "Colors", [f"ViewItem{i}={(i * 2654435761) % 0x1000000}" for i in range(74)]
    yield "Report", [f"{tag}={1 if i % 5 else 0}" for i, tag in enumerate(SECTION_TAGS)] + [
        "Title=Заключение по результатам суточного мониторирования ЭКГ",
        "Footer=Врач функциональной диагностики",
        "FontName=Times New Roman", "FontSize=11", "Landscape=0",
    ]
    yield "Printer", [
        "Name=\\\\SERVER\\HP LaserJet 400", "LeftMargin=15", "TopMargin=10",
        "RightMargin=10", "BottomMargin=10", "Copies=1", "Color=0", "Scale=25",
        "EcgSpeed=25", "EcgGain=10", "GridStyle=1", "PrintHeader=1", "PrintFooter=1",
    ]
    yield "Leads", [f"{lead}={1.0 + (i % 4) * 0.25:.2f}" for i, lead in enumerate(LEADS)]
    yield "Recorders", [
        line for model in range(8) for line in (
            f"Model{model}Port=COM{3 + model}", f"Model{model}Baud=115200",
            f"Model{model}Channels={2 if model % 3 else 3}",
        )
    ]
    yield "Doctors", [f"Doctor{i}={name}" for i, name in enumerate(DOCTORS)] + [
        f"Count={len(DOCTORS)}", "Last=2"]
    yield "Departments", [f"Otdel{i}={name}" for i, name in enumerate(DEPARTMENTS)]
    yield "LastPatient", [
        "filename=C:\\Holter\\DTAfb\\x150613.dta", "Code=150613", "Amcart=4821",
        "FIO=Николаев Николай Николаевич", "Birthday=12.04.1957", "Birthday_YY=1957",
        "Birthday_MM=04", "Birthday_DD=12", "Pol=М", "Constitution=Нормостеник",
        "AD=130/85", "ADS=130", "ADD=85", "Doctor=Иванова Мария Петровна",
        "Diagnosys=ИБС. Стенокардия напряжения, ФК II", "Otdel=Кардиология", "Area=7",
        "Palata=312", "Address=г. Москва, ул. Садовая, д. 5, кв. 17",
        "Workplace=ООО \"Вестар\"", "Policy=7700 1234 5678 9012", "Medic=Сидорова А. В.",
        "IWR=0",
    ]
    yield "Windows", [
        line for i, form in enumerate(FORMS) for line in (
            f"{form}Left={40 + 10 * i}", f"{form}Top={30 + 8 * i}", f"{form}Width=1024",
            f"{form}Height=700", f"{form}State={i % 3}",
        )
    ]
    yield "MRU", [f"File{i}=D:\\Архив ЭКГ\\2024\\x{150600 + 7 * i}.dta" for i in range(10)] + [
        "Count=10"]


def text():
    lines = ["; Настройки комплекса \"Вестар\"", ""]
    for name, body in sections():
        lines.append(f"[{name}]")
        lines += body
        lines.append("")
    return "\r\n".join(lines) + "\r\n"


def main():
    content = text()
    with open("holter-ansi.ini", "wb") as f:
        f.write(content.encode("cp1251"))
    with open("holter-utf16.ini", "wb") as f:
        f.write(b"\xff\xfe" + content.encode("utf-16-le"))


if __name__ == "__main__":
    main()
