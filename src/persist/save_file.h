// Whole-or-nothing writes of the packed save files, and what the newer
// files (the game in progress, the statistics) share to read and check them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Whether file_name names a regular file (through links). Anything else in a
// save file's place (a pipe, a device, a folder) is read as no file at all:
// opening a pipe would wait for a writer that never comes.
bool is_regular_file(const char* file_name);

// Writes size bytes to file_name through the packfile layer ("wp", under the
// password in force), by way of "<file_name>.<pid>.tmp" in the same directory. The
// old file is replaced only when the whole new content has been written, read
// back equal and flushed to disk; otherwise the old file stays as it was and
// the temporary file is removed. Answers whether the new content is in place.
bool save_packed_file(const char* file_name, const void* bytes, long size);

// Holds the folder of file_name against the same lock in other games while a
// table is read again, merged and written, so that two games writing one
// table at the same moment each keep the other's rows. Answers what
// unlock_save_folder takes; -1 when the folder cannot be locked, and the
// write then goes on without.
int lock_save_folder(const char* file_name);
void unlock_save_folder(int lock);

// The whole content of a packed save file under the password in force, at
// most `most` bytes: false for a missing file, one that is not a regular
// file or does not open, and one longer than that.
bool read_packed_file(const char* file_name, std::string& bytes, size_t most);

// Numbers in the newer files are little-endian, and each file ends in a
// checksum (FNV-1a) of all before it, which tells a damaged or foreign file.
void put_le32(std::string& out, uint32_t value);
uint32_t get_le32(const unsigned char* in);
uint32_t save_checksum(const unsigned char* bytes, size_t size);
// Appends the checksum of everything in `out`.
void seal_save(std::string& out);
// The content before a sound checksum, or false.
bool unseal_save(const std::string& bytes, size_t& body);

// A file of fixed size (the statistics, the day's record) begins with four
// magic bytes and a version byte. save_header starts one; sealed_body checks
// the checksum, the size before it, the magic and the version, and answers
// where the content after the header begins, or null.
constexpr size_t SAVE_HEADER_BYTES = 5;
std::string save_header(const char (&magic)[4], uint8_t version);
const unsigned char* sealed_body(const std::string& bytes, const char (&magic)[4], uint8_t version,
                                 size_t body_bytes);
