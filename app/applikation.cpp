// Start-up, command-line options and folder operations of the application
// base class.
#include "app/applikation.h"

#include <utility>

#include "app/log.h"
#include "app/platform.h"
#include "app/state_dir.h"
#include "app/text_util.h"

namespace quorvel {

namespace {

bool IsTrimmedSpace(char c) {
    return IsCSpace(static_cast<unsigned char>(c));
}

std::string Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsTrimmedSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && IsTrimmedSpace(text[end - 1])) {
        --end;
    }
    return std::string(text.substr(begin, end - begin));
}

// An argument is quoted when it holds a blank or tab and no double quote.
bool NeedsQuotes(std::string_view arg) {
    return arg.find_first_of(" \t") != std::string_view::npos &&
           arg.find('"') == std::string_view::npos;
}

}  // namespace

CApplikation::CApplikation() = default;

CApplikation::~CApplikation() = default;

bool CApplikation::InitInstance() {
    SetLogFile(DefaultLogFolder() + "mirax.log");

    // Cut from the last '-' backwards, so the options end up in reverse
    // order of the command line and the last one given is found first.
    m_arrOptions.clear();
    std::string_view rest = m_strCommandLine;
    for (std::size_t p = rest.rfind('-'); p != std::string_view::npos; p = rest.rfind('-')) {
        m_arrOptions.push_back(Trim(rest.substr(p + 1)));
        rest = rest.substr(0, p);
    }

    const int logIndex = FindOption("log ");
    if (logIndex >= 0) {
        m_nLogLevel = AtoI(std::string_view(GetOption(logIndex)).substr(4));
        // The level is also the mask, so "-log 8" shows the level-8 lines.
        g_nLogMask = static_cast<uint32_t>(m_nLogLevel);
    }

    const int fileIndex = FindOption("logdatei");
    if (fileIndex >= 0) {
        // The value lies between the option's last two double quotes.
        std::string option = GetOption(fileIndex);
        const std::size_t closing = option.rfind('"');
        if (closing != std::string::npos) {
            option.resize(closing);
            const std::size_t opening = option.rfind('"');
            if (opening != std::string::npos) {
                SetLogFile(option.substr(opening + 1));
            }
        }
    }
    return true;
}

int CApplikation::ExitInstance() {
    return 0;
}

void CApplikation::SetCommandLine(int argc, const char* const* argv) {
    std::string text;
    for (int i = 1; i < argc && argv != nullptr && argv[i] != nullptr; ++i) {
        const std::string_view arg = argv[i];
        if (i > 1) {
            text.push_back(' ');
        }
        if (arg.empty()) {
            text += "\"\"";
        } else if (NeedsQuotes(arg)) {
            text.push_back('"');
            text += arg;
            text.push_back('"');
        } else {
            text += arg;
        }
    }
    m_strCommandLine = std::move(text);
}

std::string CApplikation::GetProgramFolder() const {
    return ProgramFolder();
}

std::string CApplikation::GetApplicationName() const {
    return ApplicationName();
}

int CApplikation::FindOption(const std::string& name) const {
    for (std::size_t i = 0; i < m_arrOptions.size(); ++i) {
        const std::string& option = m_arrOptions[i];
        if (option.size() >= name.size() &&
            EqualsIgnoreAsciiCase(std::string_view(option).substr(0, name.size()), name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string CApplikation::GetOption(int index) const {
    // A negative index is out of range as well, not a wrapped-around one.
    if (index >= 0 && static_cast<std::size_t>(index) < m_arrOptions.size()) {
        return m_arrOptions[static_cast<std::size_t>(index)];
    }
    return {};
}

void CApplikation::AppendBackslash(std::string& path) {
    AppendSlash(path);
}

int CApplikation::CreateFolderPath(std::string path) {
    return CreateFolderChain(std::move(path));
}

}  // namespace quorvel
