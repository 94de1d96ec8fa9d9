// PNG files from 24-bit pixels, with a small deflate of its own (no zlib on the Windows side).
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

// Compresses data as one zlib stream (fixed Huffman codes, greedy LZ77 matches).
std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data);

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t Adler32(const uint8_t* data, size_t size);

// rgb: height rows of width pixels, 3 bytes each (red, green, blue), top row first.
// Returns the whole file's bytes.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgb);

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
