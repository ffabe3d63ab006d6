#pragma once

#include <cstdarg>
#include <string>

// Text helpers shared by every subsystem. Strings are plain bytes; nothing here knows an encoding.

// printf-style formatting through a 1024-byte buffer: a longer result is cut to its first 1023 characters.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list arguments);

// Whether text begins with prefix, byte for byte.
bool StartsWith(const std::string& text, const char* prefix);

// The part of text before the first whole occurrence of delimiter; rest is what follows it.
// Without the delimiter the result is empty and rest is the whole text; an empty delimiter is found at 0.
std::string SplitAtFirst(const std::string& text, const std::string& delimiter, std::string& rest);

// Replaces every occurrence of search in text and returns how many were replaced. The search starts again
// at the beginning after each replacement, so a replacement that forms a new occurrence with its
// neighbours is replaced too; when the replacement itself contains search, the search goes on behind it
// instead, so the call always ends. An empty search replaces nothing.
int ReplaceAll(std::string& text, const std::string& search, const std::string& replacement);

// Escapes & < > " ' as XML entities, each position once (an entity in the input is escaped again).
std::string EscapeXml(const std::string& text);
