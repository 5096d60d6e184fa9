#include "highlight/piece_colouring.h"

#include <atomic>
#include <cstring>
#include <exception>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace vk {
namespace {

ColouredPiece ColourPiece(std::string_view script, std::size_t offset, std::size_t length,
                          const ClassFonts& fonts, std::optional<std::size_t> outputLimit) {
    const std::string_view text = script.substr(offset, length);
    RtfReadResult read;
    {
        TColorStream stream(fonts);
        stream.SetOutputLimit(outputLimit);
        stream.LoadText(text);
        stream.ConvertToRtf();
        read = ReadRtf(stream.Data());
    }
    if (!read.document) throw Exception(read.error.empty() ? "Invalid rich text" : read.error);
    RtfDocument& doc = *read.document;
    if (doc.text.View() != text || doc.runs.TextLength() != length)
        throw Exception("The coloured text differs from the script");
    ColouredPiece piece{offset, length, std::move(doc.formats), std::move(doc.runs)};
    piece.runs.ShrinkToFit();
    return piece;
}

// Pieces handed out one at a time to whichever thread is free, so a thread
// slowed by other work on the machine simply takes fewer.
class PieceQueue {
public:
    PieceQueue(std::string_view script, const ClassFonts& fonts,
               const PieceColouringOptions& options, const std::vector<std::size_t>& starts)
        : script_(script),
          fonts_(fonts),
          options_(options),
          starts_(starts),
          pieces_(starts.size()) {}

    // Colours pieces until none is left or one has failed.
    void Work() noexcept {
        for (;;) {
            const std::size_t index = next_.fetch_add(1);
            if (index >= starts_.size() || failed_.load()) return;
            const std::size_t start = starts_[index];
            const std::size_t end =
                index + 1 < starts_.size() ? starts_[index + 1] : script_.size();
            try {
                pieces_[index] =
                    ColourPiece(script_, start, end - start, fonts_, options_.outputLimit);
            } catch (...) {
                Fail(std::current_exception());
                return;
            }
        }
    }

    void Fail(std::exception_ptr error) noexcept {
        const std::lock_guard lock(errorMutex_);
        if (!error_) error_ = std::move(error);
        failed_.store(true);
    }

    std::vector<ColouredPiece> Take() {
        if (error_) std::rethrow_exception(error_);
        return std::move(pieces_);
    }

private:
    std::string_view script_;
    const ClassFonts& fonts_;
    const PieceColouringOptions& options_;
    const std::vector<std::size_t>& starts_;
    std::vector<ColouredPiece> pieces_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> failed_{false};
    std::mutex errorMutex_;
    std::exception_ptr error_;
};

}  // namespace

std::vector<std::size_t> PieceStarts(std::string_view script, std::size_t pieceSize) {
    std::vector<std::size_t> starts{0};
    if (pieceSize == 0) pieceSize = 1;
    std::size_t from = pieceSize;
    while (from < script.size()) {
        const std::size_t lineEnd = script.find("\r\n", from - 1);
        if (lineEnd == std::string_view::npos || lineEnd + 2 >= script.size()) break;
        starts.push_back(lineEnd + 2);
        from = lineEnd + 2 + pieceSize;
    }
    return starts;
}

std::vector<ColouredPiece> ColourInPieces(std::string_view script, const ClassFonts& fonts,
                                          const PieceColouringOptions& options,
                                          const std::function<void()>& meanwhile) {
    const bool parallel =
        script.size() >= options.parallelFrom && std::thread::hardware_concurrency() > 1;
    const std::vector<std::size_t> starts =
        parallel ? PieceStarts(script, options.pieceSize) : std::vector<std::size_t>{0};
    PieceQueue queue(script, fonts, options, starts);
    std::jthread helper;
    if (parallel && starts.size() > 1) {
        try {
            helper = std::jthread([&queue] { queue.Work(); });
        } catch (const std::system_error&) {
            // No thread to be had: the calling thread colours every piece.
        }
    }
    if (!helper.joinable()) {
        if (meanwhile) meanwhile();
        queue.Work();
        return queue.Take();
    }
    std::exception_ptr meanwhileError;
    try {
        if (meanwhile) meanwhile();
    } catch (...) {
        meanwhileError = std::current_exception();
        queue.Fail(meanwhileError);
    }
    queue.Work();
    helper.join();
    if (meanwhileError) std::rethrow_exception(meanwhileError);
    return queue.Take();
}

}  // namespace vk
