// The application base class: command-line options, log level, default
// folders and the operations the viewer needs from its application object.
#pragma once

#include <cstdint>
#include <span>
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

    static void AppendBackslash(std::string& path);
    static int CreateFolderPath(std::string path);

    // Inflates a stored block (4-byte little-endian declared length, then a
    // zlib stream). Uses no object state, so the loader calls it directly.
    static bool UncompressBlock(std::span<const unsigned char> source,
                                std::vector<unsigned char>& out);

    // Fields the general routines own; the viewer only initialises them.
    const std::string& GetCoverFolder() const { return m_strCoverFolder; }
    void SetCoverFolder(const std::string& v) { m_strCoverFolder = v; }
    const std::string& GetDataFolder() const { return m_strDataFolder; }
    void SetDataFolder(const std::string& v) { m_strDataFolder = v; }
    const std::string& GetCommentFolder() const { return m_strCommentFolder; }
    void SetCommentFolder(const std::string& v) { m_strCommentFolder = v; }
    const std::string& GetContentFolder() const { return m_strContentFolder; }
    void SetContentFolder(const std::string& v) { m_strContentFolder = v; }

private:
    std::string m_strCoverFolder;
    std::string m_strDataFolder;
    std::string m_strCommentFolder;
    std::string m_strContentFolder;
    std::vector<std::string> m_arrOptions;
    int32_t m_nLogLevel = 0;
    std::string m_strCommandLine;
};

}  // namespace quorvel
