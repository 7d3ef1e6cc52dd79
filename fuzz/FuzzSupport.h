// What every fuzz target needs around the code it calls.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>

// The program's log lines are expected for bad input; writing them would only slow the fuzzing.
void silenceLog();

// The input as text, invalid UTF-8 replaced as the program's own decoding replaces it.
QString textOf(const uint8_t *data, size_t size);

QByteArrayView bytesOf(const uint8_t *data, size_t size);

// Stops the run with the message, so that libFuzzer keeps the input that broke a promise.
[[noreturn]] void broken(const QString &promise, const QString &detail);
