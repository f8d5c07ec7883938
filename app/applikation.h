// The application base class: command-line options, log level and the
// operations the viewer needs from its application object.
//
// Command line: everything before the first '-' is the box-file path; each
// '-' starts an option that runs to the next '-' (no quoting is honoured, so
// a '-' inside a path starts an option too). "-log N" sets the log level and
// the log mask to N; -logdatei "path" moves the log file to the path between
// the option's last two double quotes. The log starts as "mirax.log" in the
// program's folder.
//
// Start-up never changes the current directory; the log folder is only
// checked to exist (and created when missing). So a relative box-file path is
// opened from the folder the program was started in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel {

class CApplikation {
public:
    CApplikation();
    virtual ~CApplikation();

    // Start-up: default log file, options cut from the command line, "log "
    // and "logdatei" applied. Always true.
    virtual bool InitInstance();
    virtual int ExitInstance();

    // The command line as the design knows it: argv[1..] joined by single
    // blanks, arguments with a blank or tab (and no '"') wrapped in quotes,
    // empty ones written as "".
    void SetCommandLine(int argc, const char* const* argv);
    void SetCommandLineText(std::string text) { m_strCommandLine = std::move(text); }

    std::string GetProgramFolder() const;  // ends in '/'
    std::string GetApplicationName() const;
    std::string GetCommandLineText() const { return m_strCommandLine; }

    int FindOption(const std::string& name) const;
    std::string GetOption(int index) const;
    const std::vector<std::string>& GetOptions() const { return m_arrOptions; }
    int32_t GetLogLevel() const { return m_nLogLevel; }

    // Reads the version block of the executable named after the
    // application in the program's folder. True when the fixed part was read.
    bool GetVersionInfo(std::string& fileVersion, std::string& productVersion,
                        std::string& comments, std::string& legalNotice) const;

    // The folder operations the log setup uses, under their design names;
    // both forward to the platform layer (AppendSlash, CreateFolderChain in
    // app/platform.h), which the log calls directly.
    static void AppendBackslash(std::string& path);
    static int CreateFolderPath(std::string path);

private:
    std::vector<std::string> m_arrOptions;
    int32_t m_nLogLevel = 0;
    std::string m_strCommandLine;
};

}  // namespace quorvel
