// Whole-or-nothing writes of the packed save files.
#include "persist/save_file.h"

#include <allegro.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// pack_fclose does not report a failed final flush (a full disk passes it
// silently), so the only proof that the bytes arrived is reading them back.
bool reads_back_equal(const char* file_name, const void* bytes, long size)
{
    PACKFILE* in = pack_fopen(file_name, "rp");
    if (in == nullptr)
        return false;
    // One byte more than expected, so a longer file is caught too.
    std::vector<unsigned char> found(static_cast<size_t>(size) + 1);
    long got = pack_fread(found.data(), size + 1, in);
    pack_fclose(in);
    return got == size && std::memcmp(found.data(), bytes, static_cast<size_t>(size)) == 0;
}

// The content must be on disk before the rename makes it the only copy.
bool flush_to_disk(const char* path)
{
    int fd = open(path, O_RDONLY);
    if (fd < 0)
        return false;
    bool flushed = fsync(fd) == 0;
    close(fd);
    return flushed;
}

std::string directory_of(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool is_regular_file(const char* file_name)
{
    struct stat info;
    return stat(file_name, &info) == 0 && S_ISREG(info.st_mode);
}

bool save_packed_file(const char* file_name, const void* bytes, long size)
{
    // Named after the process, so two games quitting together in one folder
    // never write into the same temporary file.
    const std::string temp = std::string(file_name) + "." + std::to_string(getpid()) + ".tmp";

    // When even the temporary file can't be made, nothing of ours exists to
    // clean up; in particular a directory of that name is left alone.
    PACKFILE* out = pack_fopen(temp.c_str(), "wp");
    if (out == nullptr)
        return false;
    long written = pack_fwrite(bytes, size, out);
    int closed = pack_fclose(out);

    if (written != size || closed != 0 || !reads_back_equal(temp.c_str(), bytes, size)
        || !flush_to_disk(temp.c_str()) || std::rename(temp.c_str(), file_name) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    // Makes the rename itself durable; the new file is in place either way.
    flush_to_disk(directory_of(file_name).c_str());
    return true;
}

int lock_save_folder(const char* file_name)
{
    // The folder itself is locked: a lock file would be one more file, and
    // the table's own file is replaced by every write.
    const int lock = open(directory_of(file_name).c_str(), O_RDONLY | O_DIRECTORY);
    if (lock >= 0 && flock(lock, LOCK_EX) != 0) {
        close(lock);
        return -1;
    }
    return lock;
}

void unlock_save_folder(int lock)
{
    if (lock >= 0)
        close(lock);  // closing lets the lock go
}

bool read_packed_file(const char* file_name, std::string& bytes, size_t most)
{
    bytes.clear();
    if (!is_regular_file(file_name))
        return false;
    PACKFILE* in = pack_fopen(file_name, "rp");
    if (in == nullptr)
        return false;
    // One byte past the most tells a file that is too long.
    char chunk[4096];
    long got;
    while (bytes.size() <= most && (got = pack_fread(chunk, sizeof chunk, in)) > 0)
        bytes.append(chunk, static_cast<size_t>(got));
    pack_fclose(in);
    return bytes.size() <= most;
}

void put_le32(std::string& out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t get_le32(const unsigned char* in)
{
    return uint32_t(in[0]) | uint32_t(in[1]) << 8 | uint32_t(in[2]) << 16 | uint32_t(in[3]) << 24;
}

uint32_t save_checksum(const unsigned char* bytes, size_t size)
{
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size; ++i)
        h = (h ^ bytes[i]) * 16777619u;
    return h;
}

void seal_save(std::string& out)
{
    put_le32(out, save_checksum(reinterpret_cast<const unsigned char*>(out.data()), out.size()));
}

bool unseal_save(const std::string& bytes, size_t& body)
{
    if (bytes.size() < 4)
        return false;
    body = bytes.size() - 4;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    return get_le32(in + body) == save_checksum(in, body);
}

std::string save_header(const char (&magic)[4], uint8_t version)
{
    std::string out(magic, sizeof magic);
    out += char(version);
    return out;
}

const unsigned char* sealed_body(const std::string& bytes, const char (&magic)[4], uint8_t version,
                                 size_t body_bytes)
{
    size_t body = 0;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    if (!unseal_save(bytes, body) || body != body_bytes || std::memcmp(in, magic, sizeof magic) != 0
        || in[sizeof magic] != version)
        return nullptr;
    return in + SAVE_HEADER_BYTES;
}
