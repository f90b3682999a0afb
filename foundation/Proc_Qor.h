#pragma once
#include <QByteArray>
#include <QString>
#include <QVariant>

// General module: folder key, fixed-width numbers, hexadecimal and Base64 text,
// keyboard test, time stamps and the short pause.

// Folder key: sum over the characters of (Windows-1252 code - 32) x position.
qint32 Str_CheckSum(const QString& text);
QString PadNum(const QVariant& value, int length, const QString& fill);
QString Hex2Str(const QString& text);
bool IsHexStr(const QString& text);
bool IsEven(qint64 n);
// Decoded bytes; empty for a text whose length is not a multiple of 4 or that holds a
// character outside the alphabet.
QByteArray Base64Dec(const QString& text, const QString& alphabet = QString());
// Which: 1 left Ctrl, 2 right Ctrl, 3 either (the desktop tells only "a Ctrl key is down").
bool IsCtrlDown(int which = 3);

// dd/mm/yyyy hh:mm:ss,mmm of the program clock.
QString TimeStamp(const QString& fill = QStringLiteral("0"));
double Ora2Sec(const QString& time);
// Pauses the given seconds; measured on a clock that does not wrap at midnight.
void AttesaSec(double seconds);
void Attesa(double seconds);
