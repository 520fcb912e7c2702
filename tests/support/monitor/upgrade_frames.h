// Builders of message 4089 frames for tests: the text frames a receiver sends
// back, and a reader for the image frames a fake receiver collects.
#pragma once

#include <QByteArray>
#include <QList>
#include <cstdint>

// A 4089 text frame (command, response or information) with its CRC-24Q.
QByteArray BuildUpgradeTextFrame(uint8_t Type, uint16_t Sequence, const QByteArray& Identity, const QByteArray& Text);
// Writes a fresh CRC-24Q over a frame whose bytes were changed.
void ResealUpgradeFrame(QByteArray* pFrame);
// Takes every complete 1446-byte image frame from the front of *pStream,
// dropping any other bytes before a frame.
QList<QByteArray> TakeImageFrames(QByteArray* pStream);
