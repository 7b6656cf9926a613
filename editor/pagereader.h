#pragma once

#include "pagecodec.h"

#include <QString>

class FileSystem;

// Reads a page and turns it into the editor's UTF-8 text on a thread of its own, while the calling
// thread takes in each piece done: the editor's taking in and the decoding then cost the time of
// the slower of the two, not of both.
namespace PageReader {
struct Result
{
    bool read = false; // false: the file could not be read to its end
    bool clean = false; // false: some bytes did not decode cleanly
    qint64 size = 0; // the file's bytes read
    PageCodec::LineEndCounts lineEnds;
    bool markFound = false; // the file started with the encoding's mark
};

// The sink is called on the calling thread, piece by piece in order. An exception from the sink
// stops the reading and is passed on; so is one from the reading.
Result read(const FileSystem &files, const QString &path, const PageEncoding &encoding, const PageCodec::Sink &sink,
    PageCodec::Decoder::Breaks breaks = PageCodec::Decoder::Breaks::AsRead);
}
