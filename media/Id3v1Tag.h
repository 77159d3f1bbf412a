#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

/// An ID3v1.1 tag: the last 128 bytes of an MP3 file. Texts are zero-padded, not terminated
/// when they fill their field.
struct Id3v1Tag
{
    char tag[3];
    char title[30];
    char artist[30];
    char album[30];
    char year[4];
    char comment[28];
    std::uint8_t zeroByte;
    std::uint8_t track;
    std::uint8_t genre;
};

static_assert(sizeof(Id3v1Tag) == 128);
static_assert(offsetof(Id3v1Tag, title) == 3);
static_assert(offsetof(Id3v1Tag, artist) == 33);
static_assert(offsetof(Id3v1Tag, album) == 63);
static_assert(offsetof(Id3v1Tag, year) == 93);
static_assert(offsetof(Id3v1Tag, comment) == 97);
static_assert(offsetof(Id3v1Tag, zeroByte) == 125);
static_assert(offsetof(Id3v1Tag, track) == 126);
static_assert(offsetof(Id3v1Tag, genre) == 127);
