#pragma once
// Windows-1252, the code page of the files the program reads and writes.
#include <QChar>
#include <QStringView>

namespace zarv::txt {

// The byte that stands for the character in Windows-1252, -1 when the code page
// has none. The five bytes it leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// stand for the C1 controls of the same value, so every byte has a character.
int Cp1252Byte(char16_t c);
// The character a byte stands for.
QChar Cp1252Char(unsigned char b);

// Where the first character the code page cannot hold begins (a surrogate pair
// counts as one character), -1 when it can hold the whole text.
qsizetype FirstOutsideCp1252(QStringView text);

} // namespace zarv::txt
