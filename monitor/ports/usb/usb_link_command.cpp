// "WriteFile": a receiver hands the host a file. The receiver names the path
// and the open mode; both are untrusted input from a device, so the path
// must stay inside the chosen folder and only writing modes are taken.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "monitor/ports/usb/usb_link_session.h"

namespace
{
constexpr size_t kMaxTokens = 3;
constexpr size_t kMaxPath = 255;
constexpr size_t kMaxMode = 31;

// Blanks and tabs outside double quotes separate tokens; NUL, CR and LF end the text.
std::vector<std::string> Tokens(const char* pText)
{
    std::vector<std::string> tokens;
    std::string current;
    bool bQuoted = false;
    bool bInToken = false;
    for (const char* p = pText; *p != '\0' && *p != '\r' && *p != '\n' && tokens.size() < kMaxTokens; ++p)
    {
        if (!bQuoted && (*p == ' ' || *p == '\t'))
        {
            if (bInToken)
            {
                tokens.push_back(current);
                current.clear();
                bInToken = false;
            }
            continue;
        }
        if (*p == '"')
        {
            bQuoted = !bQuoted;
        }
        current += *p;
        bInToken = true;
    }
    if (bInToken && tokens.size() < kMaxTokens)
    {
        tokens.push_back(current);
    }
    return tokens;
}

bool IsWritingMode(const std::string& Mode)
{
    static const char* const kModes[] = {"w", "wb", "w+", "wb+", "w+b", "a", "ab", "a+", "ab+", "a+b"};
    for (const char* pMode : kModes)
    {
        if (Mode == pMode)
        {
            return true;
        }
    }
    return false;
}

// The path relative to the folder, with "\" taken as a separator; false for
// an absolute path, a drive letter, a ".." step or nothing left.
bool SafeRelativePath(std::string Path, std::filesystem::path* pOut)
{
    for (char& c : Path)
    {
        c = c == '\\' ? '/' : c;
    }
    if (Path.empty() || Path[0] == '/' || (Path.size() >= 2 && Path[1] == ':'))
    {
        return false;
    }
    std::filesystem::path result;
    size_t start = 0;
    while (start <= Path.size())
    {
        size_t end = Path.find('/', start);
        end = end == std::string::npos ? Path.size() : end;
        const std::string part = Path.substr(start, end - start);
        if (part == "..")
        {
            return false;
        }
        if (!part.empty() && part != ".")
        {
            result /= part;
        }
        start = end + 1;
    }
    if (result.empty() || Path.back() == '/')
    {
        return false;
    }
    *pOut = result;
    return true;
}
} // namespace

int UsbLinkWriteFileCommand(const UsbLinkCommand& Command, const std::string& Folder)
{
    const std::vector<std::string> tokens = Tokens(Command.pText != nullptr ? Command.pText : "");
    std::string path = "Data.dat";
    std::string mode = "wb+";
    for (size_t i = 1; i < tokens.size(); ++i)
    {
        const std::string& token = tokens[i];
        if (token.size() < 2 || token[0] != '-')
        {
            return -3;
        }
        std::string value = token.substr(2);
        if (token[1] == 'f')
        {
            if (!value.empty() && value[0] == '"')
            {
                if (value.size() < 2 || value.back() != '"')
                {
                    return -1;
                }
                value = value.substr(1, value.size() - 2);
            }
            if (value.empty() || value.size() > kMaxPath)
            {
                return -1;
            }
            path = value;
        }
        else if (token[1] == 'm')
        {
            if (value.empty() || value.size() > kMaxMode)
            {
                return -1;
            }
            mode = value;
        }
        else
        {
            return -2;
        }
    }
    std::filesystem::path relative;
    if (!IsWritingMode(mode) || !SafeRelativePath(path, &relative))
    {
        UsbTrace("#W,WriteFile refused: \"%s\" mode \"%s\"\n", path.c_str(), mode.c_str());
        return -1;
    }
    const std::filesystem::path full =
        (Folder.empty() ? std::filesystem::path(".") : std::filesystem::path(Folder)) / relative;
    std::error_code error;
    std::filesystem::create_directories(full.parent_path(), error);
    std::filesystem::remove(full, error);
    std::FILE* pFile = std::fopen(full.c_str(), mode.c_str());
    if (pFile == nullptr)
    {
        return -1;
    }
    const size_t written = Command.ExtLength > 0 ? std::fwrite(Command.pExtData, 1, Command.ExtLength, pFile) : 0;
    const bool bClosed = std::fclose(pFile) == 0;
    return written == Command.ExtLength && bClosed ? 0 : -2;
}
