// png_files.h - pictures for the atlas tests: PNG files drawn from a texel
// rule, and PNG bytes built by hand, each wrong in exactly one way when
// asked (the chunk checksums and the zlib stream are always correct).
#pragma once

#include <FreeImage.h>    // encoding the drawn pictures
#include <gtest/gtest.h>  // TempDir, failures while writing

#include <cstdint>  // bytes
#include <cstdio>   // files
#include <string>   // paths
#include <vector>   // byte buffers

using Tbytes = std::vector<std::uint8_t>;

inline std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
  }
  return c ^ 0xFFFFFFFFu;
}

inline void put32(Tbytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline void put_chunk(Tbytes& out, const char* type, const Tbytes& data) {
  put32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  put32(out, crc32(&out[start], out.size() - start));
}

// A PNG of 8-bit RGB whose header says width x height and whose image data
// is `rows` (filter bytes included), stored uncompressed in one IDAT.
inline Tbytes make_png(std::uint32_t width, std::uint32_t height, const Tbytes& rows) {
  Tbytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Tbytes ihdr;
  put32(ihdr, width);
  put32(ihdr, height);
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // depth 8, RGB, deflate, no filter, no interlace
  put_chunk(png, "IHDR", ihdr);
  const std::uint16_t n = static_cast<std::uint16_t>(rows.size());
  Tbytes z = {0x78, 0x01, 0x01, static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
              static_cast<std::uint8_t>(~n), static_cast<std::uint8_t>(~n >> 8)};
  z.insert(z.end(), rows.begin(), rows.end());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t c : rows) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  put32(z, (b << 16) | a);
  put_chunk(png, "IDAT", z);
  put_chunk(png, "IEND", {});
  return png;
}

// 2 x 2: red, green / blue, white, rows top first.
inline const Tbytes k_rows_2x2 = {0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255};

inline std::string write_bytes(const std::string& name, const Tbytes& bytes) {
  const std::string path = testing::TempDir() + "vorpane_hardening_" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr);
  if (f) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return path;
}

// A blank picture of the given size and depth, encoded by FreeImage.
inline Tbytes encoded(int width, int height, int bits, FREE_IMAGE_FORMAT format) {
  Tbytes bytes;
  FIBITMAP* image = FreeImage_Allocate(width, height, bits);
  FIMEMORY* memory = FreeImage_OpenMemory();
  if (image && memory && FreeImage_SaveToMemory(format, image, memory, 0)) {
    BYTE* data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    bytes.assign(data, data + size);
  }
  if (memory) FreeImage_CloseMemory(memory);
  if (image) FreeImage_Unload(image);
  return bytes;
}

inline Tbytes prefix(const Tbytes& bytes, std::size_t n) { return Tbytes(bytes.begin(), bytes.begin() + n); }

struct Trgba {
  BYTE r, g, b, a;
};

// Writes a PNG whose picture rows are given top first, as a person sees them.
inline std::string write_png(const char* name, int width, int height, Trgba (*texel)(int x, int y_from_top, int w, int h)) {
  FIBITMAP* image = FreeImage_Allocate(width, height, 32);
  for (int y = 0; y < height; ++y) {
    BYTE* row = FreeImage_GetScanLine(image, height - 1 - y);  // scan line 0 is the bottom row
    for (int x = 0; x < width; ++x) {
      Trgba t = texel(x, y, width, height);
      row[4 * x + FI_RGBA_RED] = t.r;
      row[4 * x + FI_RGBA_GREEN] = t.g;
      row[4 * x + FI_RGBA_BLUE] = t.b;
      row[4 * x + FI_RGBA_ALPHA] = t.a;
    }
  }
  std::string path = testing::TempDir() + name;
  EXPECT_TRUE(FreeImage_Save(FIF_PNG, image, path.c_str(), 0));
  FreeImage_Unload(image);
  return path;
}

// Left half: red on top, blue below. Right half: green on top, white below.
inline Trgba halves(int x, int y, int w, int h) {
  bool top = y < h / 2;
  if (x < w / 2) return top ? Trgba{255, 0, 0, 255} : Trgba{0, 0, 255, 255};
  return top ? Trgba{0, 255, 0, 255} : Trgba{255, 255, 255, 255};
}

