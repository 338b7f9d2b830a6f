// Whole-or-nothing writes of the packed save files.
#pragma once

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
