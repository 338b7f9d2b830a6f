// Loading the archive safely: the file is checked before the library's
// loader sees it (a damaged file can crash that loader), and the catalogue after.
#pragma once
#include <allegro.h>

#include <cstddef>

// Walks the archive's bytes as read through the packfile layer (under the
// current password) and answers whether every object is whole and sane.
bool archive_bytes_valid(const unsigned char* bytes, size_t size);
bool archive_file_valid(const char* path);

// Every index of the catalogue holds an object of its type and fixed size.
bool archive_catalogue_valid(const DATAFILE* data);

// The archive, or null when it is missing, damaged or incomplete.
DATAFILE* load_archive(const char* path);
