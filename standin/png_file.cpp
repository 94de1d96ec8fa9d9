// A minimal PNG encoder: filter type 0 rows, one zlib stream in a single IDAT chunk.
#include "png_file.h"

#include <stdio.h>

namespace {

// Deflate's bit stream: values go in least significant bit first, Huffman codes most first.
class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>* out) : out_(out) {}
  void Bits(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
  }
  void Code(uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
  }
  void Flush() {
    if (used_ > 0) out_->push_back(current_);
    current_ = 0;
    used_ = 0;
  }

 private:
  void Bit(uint32_t bit) {
    current_ = static_cast<uint8_t>(current_ | (bit << used_));
    if (++used_ == 8) Flush();
  }
  std::vector<uint8_t>* out_;
  uint8_t current_ = 0;
  int used_ = 0;
};

const int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const int kDistBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                           33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                           1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const int kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The fixed literal/length code of deflate.
void LiteralOrLength(BitWriter* bits, int symbol) {
  if (symbol < 144) {
    bits->Code(0x30 + symbol, 8);
  } else if (symbol < 256) {
    bits->Code(0x190 + symbol - 144, 9);
  } else if (symbol < 280) {
    bits->Code(symbol - 256, 7);
  } else {
    bits->Code(0xC0 + symbol - 280, 8);
  }
}

void Match(BitWriter* bits, int length, int distance) {
  int l = 28;
  while (kLengthBase[l] > length) --l;
  LiteralOrLength(bits, 257 + l);
  bits->Bits(length - kLengthBase[l], kLengthExtra[l]);
  int d = 29;
  while (kDistBase[d] > distance) --d;
  bits->Code(d, 5);
  bits->Bits(distance - kDistBase[d], kDistExtra[d]);
}

void AppendBig32(std::vector<uint8_t>* out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(value >> shift));
}

void Chunk(std::vector<uint8_t>* png, const char* type, const std::vector<uint8_t>& data) {
  AppendBig32(png, static_cast<uint32_t>(data.size()));
  size_t start = png->size();
  png->insert(png->end(), type, type + 4);
  png->insert(png->end(), data.begin(), data.end());
  AppendBig32(png, Crc32(png->data() + start, png->size() - start));
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

uint32_t Adler32(const uint8_t* data, size_t size) {
  uint32_t a = 1, b = 0;
  for (size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out = {0x78, 0x01};
  BitWriter bits(&out);
  bits.Bits(1, 1);  // the final block
  bits.Bits(1, 2);  // fixed Huffman codes
  const size_t kWindow = 32768, kMaxMatch = 258, kHashSize = 1 << 15;
  std::vector<int64_t> last(kHashSize, -1);  // latest position of each 3-byte hash
  size_t n = data.size(), i = 0;
  auto hash = [&](size_t at) {
    return ((data[at] << 10) ^ (data[at + 1] << 5) ^ data[at + 2]) & (kHashSize - 1);
  };
  while (i < n) {
    size_t best = 0, distance = 0;
    if (i + 3 <= n) {
      size_t h = hash(i);
      int64_t candidate = last[h];
      last[h] = static_cast<int64_t>(i);
      if (candidate >= 0 && i - static_cast<size_t>(candidate) <= kWindow) {
        size_t from = static_cast<size_t>(candidate);
        size_t limit = n - i < kMaxMatch ? n - i : kMaxMatch;
        while (best < limit && data[from + best] == data[i + best]) ++best;
        distance = i - from;
      }
    }
    if (best >= 3) {
      Match(&bits, static_cast<int>(best), static_cast<int>(distance));
      for (size_t k = 1; k < best && i + k + 3 <= n; ++k)
        last[hash(i + k)] = static_cast<int64_t>(i + k);
      i += best;
    } else {
      LiteralOrLength(&bits, data[i]);
      ++i;
    }
  }
  LiteralOrLength(&bits, 256);
  bits.Flush();
  AppendBig32(&out, Adler32(data.data(), data.size()));
  return out;
}

std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t>& rgb) {
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(height) * (static_cast<size_t>(width) * 3 + 1));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    const uint8_t* row = rgb.data() + static_cast<size_t>(y) * width * 3;
    raw.insert(raw.end(), row, row + static_cast<size_t>(width) * 3);
  }
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  AppendBig32(&header, static_cast<uint32_t>(width));
  AppendBig32(&header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, truecolour, deflate, no interlace
  Chunk(&png, "IHDR", header);
  Chunk(&png, "IDAT", ZlibCompress(raw));
  Chunk(&png, "IEND", {});
  return png;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = fopen(path.c_str(), "wb");
  if (file == NULL) return false;
  bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return fclose(file) == 0 && written;
}
