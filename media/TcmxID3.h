#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

/// An ID3v1.1 tag: the last 128 bytes of an MP3 file. Texts are zero-padded, not terminated
/// when they fill their field.
struct TcmxID3
{
    char Tag[3];
    char Title[30];
    char Artist[30];
    char Album[30];
    char Year[4];
    char Comment[28];
    std::uint8_t ZeroByte;
    std::uint8_t Track;
    std::uint8_t Genre;
};

static_assert(sizeof(TcmxID3) == 128);
static_assert(offsetof(TcmxID3, Title) == 3);
static_assert(offsetof(TcmxID3, Artist) == 33);
static_assert(offsetof(TcmxID3, Album) == 63);
static_assert(offsetof(TcmxID3, Year) == 93);
static_assert(offsetof(TcmxID3, Comment) == 97);
static_assert(offsetof(TcmxID3, ZeroByte) == 125);
static_assert(offsetof(TcmxID3, Track) == 126);
static_assert(offsetof(TcmxID3, Genre) == 127);
