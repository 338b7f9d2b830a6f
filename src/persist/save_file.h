// Whole-or-nothing writes of the packed save files.
#pragma once

// Writes size bytes to file_name through the packfile layer ("wp", under the
// password in force), by way of "<file_name>.tmp" in the same directory. The
// old file is replaced only when the whole new content has been written, read
// back equal and flushed to disk; otherwise the old file stays as it was and
// the temporary file is removed. Answers whether the new content is in place.
bool save_packed_file(const char* file_name, const void* bytes, long size);
