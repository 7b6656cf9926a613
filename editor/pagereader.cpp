#include "pagereader.h"

#include "platform/filesystem.h"

#include <QByteArray>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace {
// Pieces done and not yet taken in: enough to keep both threads busy, few enough to cost little memory.
constexpr std::size_t HeldPieces = 2;

// Thrown on the reading thread when the taking in stopped, to end the reading.
struct Stopped
{
};

class Handover
{
public:
    // On the reading thread: waits for room; throws Stopped once the taking in has stopped.
    void put(QByteArrayView piece)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_pieces.size() < HeldPieces || m_stopped; });
        if (m_stopped)
            throw Stopped {};
        m_pieces.emplace_back(piece.toByteArray());
        m_changed.notify_all();
    }
    void finish(std::exception_ptr failure)
    {
        std::lock_guard lock(m_mutex);
        m_failure = std::move(failure);
        m_finished = true;
        m_changed.notify_all();
    }
    // On the calling thread: the next piece, or false when the reading has finished.
    bool take(QByteArray &piece)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_pieces.empty() || m_finished; });
        if (m_pieces.empty())
            return false;
        piece = std::move(m_pieces.front());
        m_pieces.pop_front();
        m_changed.notify_all();
        return true;
    }
    void stop()
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
        m_changed.notify_all();
    }
    std::exception_ptr failure() const { return m_failure; }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_pieces;
    bool m_finished = false;
    bool m_stopped = false;
    std::exception_ptr m_failure;
};
}

namespace PageReader {

Result read(const FileSystem &files, const QString &path, const PageEncoding &encoding, const PageCodec::Sink &sink,
    PageCodec::Decoder::Breaks breaks)
{
    Handover handover;
    Result result;
    std::thread reader([&] {
        std::exception_ptr failure;
        try {
            PageCodec::Decoder decoder(
                encoding, [&handover](QByteArrayView piece) { handover.put(piece); }, breaks);
            result.read = files.readPieces(path, [&decoder, &result](QByteArrayView piece) {
                result.size += piece.size();
                decoder.feed(piece);
            });
            result.clean = decoder.finish();
            result.lineEnds = decoder.lineEnds();
            result.markFound = decoder.markFound();
        } catch (const Stopped &) {
        } catch (...) {
            failure = std::current_exception();
        }
        handover.finish(failure);
    });
    try {
        QByteArray piece;
        while (handover.take(piece))
            sink(piece);
    } catch (...) {
        handover.stop();
        reader.join();
        throw;
    }
    reader.join();
    if (handover.failure())
        std::rethrow_exception(handover.failure());
    return result;
}
}
