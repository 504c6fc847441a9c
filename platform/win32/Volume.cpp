// The disk functions of WinBase.h.
#include "platform/win32/WinBase.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "platform/win32/UserFolders.h"

namespace {

// The folder a volume path stands for: "c:\" is the disk of the home
// folder, an absolute path is itself.
std::optional<std::string> VolumeFolder(LPCSTR rootPath) {
    const std::string path = rootPath ? rootPath : "";
    if (!path.empty() && path.front() == '/')
        return path;
    const bool drive = (path.size() == 2 || (path.size() == 3 && path[2] == '\\')) &&
                       std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
    if (drive && std::tolower(static_cast<unsigned char>(path[0])) == 'c')
        return UserHome();
    return std::nullopt;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return (lower >= 'a' && lower <= 'f') ? lower - 'a' + 10 : -1;
}

// udev writes unusual bytes of its link names as "\xHH".
std::string UdevDecoded(const std::string& name) {
    std::string decoded;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            HexDigit(name[i + 2]) >= 0 && HexDigit(name[i + 3]) >= 0) {
            decoded += static_cast<char>(HexDigit(name[i + 2]) * 16 + HexDigit(name[i + 3]));
            i += 3;
        } else
            decoded += name[i];
    }
    return decoded;
}

// The name of the entry of a /dev/disk/by-* folder that links to the block
// device `device`; "" when there is none.
std::string DiskName(const char* folder, dev_t device) {
    DIR* directory = ::opendir(folder);
    if (!directory)
        return "";
    std::string found;
    while (const dirent* entry = ::readdir(directory)) {
        struct stat info;
        const std::string link = std::string(folder) + "/" + entry->d_name;
        if (entry->d_name[0] != '.' && ::stat(link.c_str(), &info) == 0 && S_ISBLK(info.st_mode) &&
            info.st_rdev == device) {
            found = UdevDecoded(entry->d_name);
            break;
        }
    }
    ::closedir(directory);
    return found;
}

// Folds the hexadecimal digits of a UUID, eight at a time, into 32 bits.
DWORD FoldUuid(const std::string& uuid) {
    DWORD serial = 0;
    DWORD word = 0;
    int digits = 0;
    for (const char c : uuid) {
        if (HexDigit(c) < 0)
            continue;
        word = word * 16 + static_cast<DWORD>(HexDigit(c));
        if (++digits % 8 == 0) {
            serial ^= word;
            word = 0;
        }
    }
    return serial ^ word;
}

DWORD FoldFsid(unsigned long fsid) {
    const auto value = static_cast<uint64_t>(fsid);
    return static_cast<DWORD>(value ^ (value >> 32));
}

// The type of the file system mounted from `device` (/proc/self/mountinfo:
// field 3 is "major:minor", the type follows the " - " separator).
std::string FileSystemType(dev_t device) {
    std::ifstream mounts("/proc/self/mountinfo");
    const std::string wanted = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::string line;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string id, parent, numbers;
        fields >> id >> parent >> numbers;
        const size_t separator = line.find(" - ");
        if (numbers != wanted || separator == std::string::npos)
            continue;
        std::istringstream rest(line.substr(separator + 3));
        std::string type;
        rest >> type;
        return type;
    }
    return "";
}

bool CopyName(const std::string& text, LPSTR buffer, DWORD size) {
    if (!buffer)
        return true;
    if (text.size() + 1 > size)
        return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

} // namespace

BOOL GetDiskFreeSpaceExA(LPCSTR directory, PULARGE_INTEGER freeBytesAvailable,
                         PULARGE_INTEGER totalBytes, PULARGE_INTEGER totalFreeBytes) {
    const std::optional<std::string> folder = VolumeFolder(directory);
    struct statvfs disk {};
    if (!folder || ::statvfs(folder->c_str(), &disk) != 0)
        return FALSE;
    const uint64_t unit = disk.f_frsize;
    if (freeBytesAvailable)
        freeBytesAvailable->QuadPart = disk.f_bavail * unit;
    if (totalBytes)
        totalBytes->QuadPart = disk.f_blocks * unit;
    if (totalFreeBytes)
        totalFreeBytes->QuadPart = disk.f_bfree * unit;
    return TRUE;
}

BOOL GetVolumeInformationA(LPCSTR rootPath, LPSTR volumeName, DWORD volumeNameSize,
                           LPDWORD serialNumber, LPDWORD maximumComponentLength,
                           LPDWORD fileSystemFlags, LPSTR fileSystemName,
                           DWORD fileSystemNameSize) {
    const std::optional<std::string> folder = VolumeFolder(rootPath);
    struct statvfs disk {};
    struct stat info;
    if (!folder || ::statvfs(folder->c_str(), &disk) != 0 || ::stat(folder->c_str(), &info) != 0)
        return FALSE;
    const std::string uuid = DiskName("/dev/disk/by-uuid", info.st_dev);
    if (!CopyName(DiskName("/dev/disk/by-label", info.st_dev), volumeName, volumeNameSize) ||
        !CopyName(FileSystemType(info.st_dev), fileSystemName, fileSystemNameSize))
        return FALSE;
    if (serialNumber)
        *serialNumber = uuid.empty() ? FoldFsid(disk.f_fsid) : FoldUuid(uuid);
    if (maximumComponentLength)
        *maximumComponentLength = static_cast<DWORD>(disk.f_namemax);
    if (fileSystemFlags)
        *fileSystemFlags = FILE_CASE_SENSITIVE_SEARCH | FILE_CASE_PRESERVED_NAMES |
                           ((disk.f_flag & ST_RDONLY) ? FILE_READ_ONLY_VOLUME : 0);
    return TRUE;
}
