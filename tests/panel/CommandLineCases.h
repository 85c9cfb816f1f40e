// The command-line cases: what each whole command line (program path first) leaves in
// the panel once it is open. Shared by the panel's own tests and the tests of the
// Windows program under Wine, so that both builds answer the same table.
#pragma once

#include <ostream>

// The action boxes as bits, in the order of a run.
enum : unsigned { T = 1, E = 2, B = 4, W = 8, V = 16, L = 32 };
// Radios as bits: bit n-1 for COMn.
constexpr unsigned Com(int n) {
    return 1u << (n - 1);
}

struct CmdLineCase {
    const char* name;
    const char* cmdLine; // the whole command line, program path first
    const char* image;   // m_strImagePath
    const char* field;   // the field's text
    const char* port;    // m_strPort
    unsigned radios;
    unsigned boxes;
    bool bWriteVerifyEnabled;
};

// A failed case names itself and its command line.
inline void PrintTo(const CmdLineCase& c, std::ostream* os) {
    *os << c.name << ": " << c.cmdLine;
}

inline const CmdLineCase kCommandLineCases[] = {
    // The worked results.
    {"NoArguments", "korvanto", "", "", "COM2", Com(2), E, false},
    {"LoneFile", "korvanto f.bin", "f.bin", "f.bin", "COM2", Com(2), W | E, true},
    {"PortActionsAndFile", "korvanto /COM1 /WRITE /VERIFY f.bin", "f.bin", "f.bin", "COM1", Com(1),
     W | V, true},
    {"LowerCaseOptions", "korvanto /com3 /erase", "", "", "COM3", Com(3), E, true},
    {"FileThenOption", "korvanto f.bin /COM1", "", "", "COM1", Com(1), W | E, true},
    {"LockThenQuotedPath", "korvanto /LOCK \"C:\\Eigene Dateien\\F.bin\"",
     "C:\\Eigene Dateien\\F.bin", "c:\\eigene dateien\\f.bin", "COM2", Com(2), L, true},
    {"QuotedPathThenLock", "korvanto \"C:\\Eigene Dateien\\f.bin\" /LOCK", "", "", "COM2", Com(2),
     L, true},
    {"UnquotedNameWithBlank", "korvanto C:\\Eigene Dateien\\f.bin", "Dateien\\f.bin",
     "dateien\\f.bin", "COM2", Com(2), W | E, true},
    // The edge cases.
    {"SingleBlankAfterProgram", "korvanto ", "", "", "COM2", Com(2), E, false},
    {"WhiteSpaceOnly", "korvanto  \t \r\n ", "", "", "COM2", Com(2), W | E, true},
    {"SeveralQuotedNamesLastWins", "korvanto \"a b.bin\" \"c d.bin\"", "c d.bin", "c d.bin", "COM2",
     Com(2), W | E, true},
    {"TrailingQuoteWithoutOpening", "korvanto abc\"", "abc", "abc", "COM2", Com(2), W | E, true},
    {"TrailingQuoteAfterWords", "korvanto x abc\"", "x abc", "x abc", "COM2", Com(2), W | E, true},
    {"FileKeepsItsCase", "korvanto /Verify Bild.BIN", "Bild.BIN", "bild.bin", "COM2", Com(2), V,
     true},
    {"LowerCaseWordsWithI", "korvanto /write /verify /lock f.bin", "f.bin", "f.bin", "COM2", Com(2),
     W | V | L, true},
    {"MixedCasePort", "korvanto /cOm4 f.bin", "f.bin", "f.bin", "COM4", Com(4), W | E, true},
    {"OptionInsideAWord", "korvanto x/com2y", "", "", "COM2", Com(2), W | E, true},
    {"Com12SelectsCom1", "korvanto /COM12", "", "", "COM1", Com(1), W | E, true},
    {"Com5SelectsNothingButIsAnOption", "korvanto /COM5", "", "", "COM2", Com(2), W | E, true},
    {"SeveralPortsHighestWins", "korvanto /COM3 /COM1", "", "", "COM3", Com(1) | Com(3), W | E,
     true},
    {"TestAndWriteNoErase", "korvanto /TEST /WRITE f.bin", "f.bin", "f.bin", "COM2", Com(2), T | W,
     true},
    {"VerifyAndLockTogether", "korvanto /VERIFY /LOCK", "", "", "COM2", Com(2), V | L, true},
    {"PercentToken", "korvanto %1", "", "", "COM2", Com(2), W | E, true},
    {"QuotedPercentToken", "korvanto /COM3 \"%1\"", "", "", "COM3", Com(3), W | E, true},
    {"FileNameHoldingAnOption", "korvanto C:/test/f.bin", "", "", "COM2", Com(2), T, true},
    {"OptionsGluedTogether", "korvanto /WRITE/COM4x", "", "", "COM4", Com(4), W, true},
    {"TabIsNoSeparator", "korvanto\t/COM1\tf.bin", "", "", "COM2", Com(2), E, false},
    {"NonAsciiFileName", "korvanto Prüfung.BIN", "Prüfung.BIN", "prüfung.bin", "COM2", Com(2),
     W | E, true},
    {"UnquotedProgramPathEndsAtItsFirstBlank", "/opt/my tools/korvanto", "tools/korvanto",
     "tools/korvanto", "COM2", Com(2), W | E, true},
    // A quoted program path with a blank is the program path, not arguments.
    {"QuotedProgramPathAlone", "\"/opt/my tools/korvanto\"", "", "", "COM2", Com(2), E, false},
    {"QuotedProgramPathThenBlank", "\"/opt/my tools/korvanto\" ", "", "", "COM2", Com(2), E, false},
    {"QuotedProgramPathWithArguments", "\"/opt/my tools/korvanto\" /COM3 f.bin", "f.bin", "f.bin",
     "COM3", Com(3), W | E, true},
    {"QuotedProgramPathWithQuotedFile", "\"/opt/my tools/korvanto\" \"/home/a b/f.bin\"",
     "/home/a b/f.bin", "/home/a b/f.bin", "COM2", Com(2), W | E, true},
    {"QuotedProgramPathGluedToText", "\"/opt/my tools/korvanto\"x /COM4", "", "", "COM4", Com(4),
     W | E, true},
    // Without its closing quote the program path ends at the first blank, as any other.
    {"UnterminatedQuotedProgramPath", "\"/opt/my tools/korvanto /COM1 f.bin", "f.bin", "f.bin",
     "COM1", Com(1), W | E, true},
    {"UnterminatedQuoteAlone", "\"/opt/my tools/korvanto", "tools/korvanto", "tools/korvanto",
     "COM2", Com(2), W | E, true},
    {"UnterminatedQuoteWithoutBlank", "\"korvanto", "", "", "COM2", Com(2), E, false},
};
