// "WriteFile" commands a receiver sends over the USB link: path and mode are
// the device's, untrusted. Whatever the command, nothing is made outside the
// chosen folder; a command taken writes one file inside it that holds
// exactly the data sent, and a refused one writes no file.
// Input: the command text, a zero byte, then the file's data.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "monitor/ports/usb/usb_link_session.h"

namespace fs = std::filesystem;

namespace
{
void Check(bool bHolds)
{
    if (!bHolds)
        __builtin_trap();
}

// <temp>/usb_write_file_<pid>/inside: the folder given; its parent holds
// nothing else (a path that climbed out would land there), and goes when
// the run ends.
struct ROOT_T
{
    fs::path Path = fs::temp_directory_path() / ("usb_write_file_" + std::to_string(getpid()));
    ROOT_T() { fs::create_directories(Path / "inside"); }
    ~ROOT_T()
    {
        std::error_code error;
        fs::remove_all(Path, error);
    }
};

fs::path Root()
{
    static const ROOT_T root;
    return root.Path;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize > 64 * 1024)
        return 0;
    const fs::path root = Root();
    const fs::path inside = root / "inside";
    const uint8_t* pZero = static_cast<const uint8_t*>(std::memchr(pData, 0, nSize));
    const size_t nText = pZero != nullptr ? static_cast<size_t>(pZero - pData) : nSize;
    std::vector<char> text(pData, pData + nText);
    text.push_back('\0');
    std::vector<uint8_t> data(pZero != nullptr ? pZero + 1 : pData + nSize, pData + nSize);

    UsbLinkCommand command;
    command.pText = text.data();
    command.TextCapacity = static_cast<uint32_t>(text.size());
    command.pExtData = data.data();
    command.ExtLength = static_cast<uint32_t>(data.size());
    command.ExtCapacity = command.ExtLength;
    const int result = UsbLinkWriteFileCommand(command, inside.string());

    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(inside))
        if (!entry.is_directory())
            files.push_back(entry.path());
    int nOthers = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(root))
        nOthers += entry.path().filename() != "inside";
    Check(nOthers == 0);
    if (result == 0)
    {
        Check(files.size() == 1 && fs::is_regular_file(files[0]));
        std::ifstream in(files[0], std::ios::binary);
        const std::vector<uint8_t> written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Check(written == data);
    }
    else
    {
        Check(result == -1 || result == -2 || result == -3);
        Check(files.empty() || result == -2);
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(inside))
        fs::remove_all(entry.path());
    return 0;
}
