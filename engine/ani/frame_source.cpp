#include "frame_source.h"

#include <cstring>
#include "fx/log.h"
#include "fx/text.h"

namespace fx::ani {
namespace {

#pragma pack(push, 1)
struct IconFileHeader {
    uint16_t reserved, type, count;
    uint8_t width, height, colors, reserved2;
    uint16_t planes, bitCount;
    uint32_t bytes, offset;
};
#pragma pack(pop)
static_assert(sizeof(IconFileHeader) == 22, "ICONDIR + one ICONDIRENTRY");

bool WriteAll(HANDLE file, const void* data, DWORD size) noexcept {
    DWORD written = 0;
    return ::WriteFile(file, data, size, &written, nullptr) && written == size;
}

}  // namespace

FrameSource::FrameSource(int iconSize, AniFrameSource route) noexcept : size_(iconSize) {
    if (route == AniFrameSource::Memory) return;
    char dir[MAX_PATH];
    DWORD n = ::GetTempPathA(MAX_PATH, dir);
    if (n == 0 || n >= MAX_PATH || !CopyText(path_, dir) || !AppendText(path_, sizeof(path_), kAniTempFileName)) {
        path_[0] = '\0';
        return;
    }
    // Every reader of the session, in any process, writes the same file; holding the
    // mutex for the whole file makes each frame's write and load one unit.
    lock_.reset(::CreateMutexA(nullptr, FALSE, kAniTempFileLock));
    if (!lock_) return;
    DWORD wait = ::WaitForSingleObject(lock_.get(), route == AniFrameSource::Auto ? 0 : INFINITE);
    // An abandoned mutex (its owner died mid-frame) is ours now, and the file is rewritten anyway.
    ownsFile_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

FrameSource::~FrameSource() {
    if (ownsFile_) ::ReleaseMutex(lock_.get());
}

Added FrameSource::Add(const IconImage& image, FrameStrip* strip) noexcept {
    if (ownsFile_) {
        if (UniqueIcon icon = FromTempFile(image)) return strip->Append(icon.get());
        // The file could not be written or read back: the result must not depend on the disk.
    }
    if (!image.png) {
        // Drawing the DIB straight into the strip costs no icon object (each is a
        // round trip to the window server) and gives the same pixels.
        Added added = strip->AppendDib(image);
        if (added != Added::NotAnImage) return added;
    }
    UniqueIcon icon = FromMemory(image);
    return icon ? strip->Append(icon.get()) : Added::NotAnImage;
}

UniqueIcon FrameSource::FromMemory(const IconImage& image) const noexcept {
    // The bytes are only read; the API is older than const.
    return UniqueIcon(::CreateIconFromResourceEx(const_cast<PBYTE>(image.bits), image.size, TRUE, 0x00030000,
                                                 size_, size_, LR_DEFAULTCOLOR));
}

UniqueIcon FrameSource::FromTempFile(const IconImage& image) noexcept {
    // A one-image icon file: cursor directories (hot spots in place of planes and
    // bit count) and several sizes per frame are resolved before the file is written.
    IconFileHeader header{};
    header.type = 1;
    header.count = 1;
    header.width = uint8_t(image.width >= 256 ? 0 : image.width);
    header.height = uint8_t(image.height >= 256 ? 0 : image.height);
    header.planes = 1;
    header.bitCount = image.bitCount;
    header.bytes = image.size;
    header.offset = sizeof(header);
    // A DIB's plane count means nothing and must be 1; some writers leave 0, which
    // the platform turns into a black image.
    BITMAPINFOHEADER info{};
    DWORD infoBytes = image.png ? 0 : DWORD(sizeof(info));
    if (infoBytes) {
        std::memcpy(&info, image.bits, sizeof(info));
        info.biPlanes = 1;
    }
    {
        UniqueFile file(::CreateFileA(path_, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        bool written = file && WriteAll(file.get(), &header, sizeof(header)) &&
                       (!infoBytes || WriteAll(file.get(), &info, infoBytes)) &&
                       WriteAll(file.get(), image.bits + infoBytes, image.size - infoBytes);
        if (!written) {
            FX_LOG("temporary icon file not written (%lu)", ::GetLastError());
            return UniqueIcon();
        }
    }
    return UniqueIcon(static_cast<HICON>(::LoadImageA(nullptr, path_, IMAGE_ICON, size_, size_, LR_LOADFROMFILE)));
}

}  // namespace fx::ani
