// The calendar's month grids and the system-information tool's registry look-up.

#include "CalendarMonth.h"
#include "FakeRegistry.h"
#include "SysInfo.h"

#include <QTest>

using namespace std::string_literals;

const std::string ToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr auto Machine = registry::Root::LocalMachine;
const QLocale English(QLocale::English, QLocale::UnitedKingdom);

class TestAccessoriesLogic : public QObject {
    Q_OBJECT
private slots:
    void monthGrids() {
        // today, month and year spins, locale -> shown date, its first cell and length,
        // month label and today's cell
        const std::tuple<QDate, int, int, QLocale, QDate, int, int, const char*, int> cases[] = {
            {{2024, 9, 10}, 0, 0, English, {2024, 9, 10}, 0, 30, "九月", 9},   // starts on Sunday
            {{2025, 3, 31}, 0, 0, English, {2025, 3, 31}, 6, 31, "三月", 36},  // Saturday, 31 days
            {{2024, 3, 31}, -1, 0, English, {2024, 2, 29}, 4, 29, "二月", -1}, // leap, day clamped
            {{2024, 1, 20}, -1, 0, English, {2023, 12, 20}, 5, 31, "十二月", -1},
            {{2024, 6, 2}, -1500, -1500, English, {399, 6, 2}, 2, 30, "六月", -1},
            {{2024, 6, 2}, -12, 1, English, {2024, 6, 2}, 6, 30, "六月", 7},
            {{2024, 3, 5}, -1, 0, QLocale(QLocale::French), {2024, 2, 5}, 4, 29, "FÉVRIER", -1},
            {{2024, 3, 5}, 0, 0, QLocale(QLocale::German), {2024, 3, 5}, 5, 31, "MÄRZ", 9}};
        for (const auto& [today, monthSpin, yearSpin, locale, shown, first, length, label,
                          todayCell] : cases) {
            const calendar::MonthView v = calendar::monthView(today, monthSpin, yearSpin, locale);
            QCOMPARE(v.shownDate, shown);
            for (int i = 0; i < calendar::CellCount; ++i)
                QCOMPARE(v.days[i], i >= first && i < first + length ? i - first + 1 : 0);
            const QString year = QString::number(shown.year()).rightJustified(4, '0');
            QCOMPARE(v.caption, QString(13, ' ') + year + "年");
            QCOMPARE(v.monthLabel, QString(label));
            QCOMPARE(v.todayCell, todayCell);
            QCOMPARE(v.todayText.isEmpty(), todayCell < 0);
        }

        const char* chinese[] = {"一月", "二月", "三月", "四月", "五月",   "六月",
                                 "七月", "八月", "九月", "十月", "十一月", "十二月"};
        for (int month = 1; month <= 12; ++month)
            QCOMPARE(calendar::monthLabel(English.monthName(month)), QString(chinese[month - 1]));
    }

    void registryValuesReadAsText() {
        const std::tuple<std::uint32_t, std::string, bool, QString> cases[] = {
            {1, "C:\\MSINFO32.EXE\0"s, true, "C:\\MSINFO32.EXE"},
            {1, "C:\\TOOLS", true, "C:\\TOOLS"},
            {1, std::string(1023, 'x') + '\0', true, QString(1023, 'x')}, // 1024 bytes fit
            {1, std::string(1024, 'x') + '\0', false, ""},
            {4, "\x2a\x01\0\0"s, true, "12A"}, // a double word reads as hexadecimal
            {3, "\x01\x02", true, ""}};        // binary
        for (const auto& [type, stored, found, text] : cases) {
            FakeRegistry reg;
            reg.keys[{Machine, ToolKey}]["PATH"] = {type, stored};
            QString out = "left over";
            QCOMPARE(sysinfo::GetKeyValue(Machine, ToolKey.c_str(), "PATH", out), found);
            QCOMPARE(out, text);
            QCOMPARE(reg.open, 0);
            // Read access is all it takes; full access fails for ordinary users.
            QCOMPARE(reg.accesses, std::vector<std::uint32_t>{registry::ReadAccess});
        }
    }

    void theToolIsFoundByItsPathThenInItsFolder() {
        const QString inFolder = "C:\\Shared\\MSINFO32.EXE";
        // path entry, folder entry, file there -> program, files looked for
        const std::tuple<bool, bool, bool, QString, QStringList> cases[] = {
            {true, true, true, "C:\\MSINFO\\msinfo32.exe", {}},
            {false, true, true, inFolder, {inFolder}},
            {false, true, false, "", {inFolder}},
            {false, false, true, "", {}}};
        for (const auto& [pathEntry, folderEntry, fileThere, program, looked] : cases) {
            FakeRegistry reg;
            if (pathEntry)
                reg.keys[{Machine, ToolKey}]["PATH"] = {1, "C:\\MSINFO\\msinfo32.exe\0"s};
            if (folderEntry)
                reg.keys[{Machine, "SOFTWARE\\Microsoft\\Shared Tools Location"}]["MSINFO"] = {
                    1, "C:\\Shared\0"s};
            QStringList asked;
            const auto exists = [&](const QString& path) { return asked << path, fileThere; };
            QCOMPARE(sysinfo::SysInfoProgram(exists), program);
            QCOMPARE(asked, looked);
        }
        // This platform has no registry: the tool is never found.
        QCOMPARE(sysinfo::SysInfoProgram([](const QString&) { return true; }), QString());
    }
};

QTEST_APPLESS_MAIN(TestAccessoriesLogic)
#include "test_accessories_logic.moc"
