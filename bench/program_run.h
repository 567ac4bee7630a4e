// Runs the real program offscreen, played by a script, and times points inside the run.
//
// A point is a script line `screenshot <fifo>` (Mark() gives it): the scripted user takes a
// line only when the program waits for input, so the moment the picture's first bytes arrive is
// the moment everything before that line is done, painting included, plus the grab and the
// encoding of the picture. Those cost the same at every mark; a bench subtracts them by timing
// two marks with nothing between them.
#pragma once

#include <string>
#include <vector>

struct ProgramRun {
    int exitCode = -1;         // -1 when the program did not end normally
    double totalSeconds = 0;   // from the start to the program's end
    std::vector<double> marks; // seconds from the start to each mark, in script order
    long peakKibibytes = 0;    // the program's largest resident size
    std::string lastEvent;     // the last line the program printed
};

// A folder holding the fifo the marks are written to; removed with the object.
class MarkFifo
{
  public:
    MarkFifo();
    ~MarkFifo();
    MarkFifo(const MarkFifo&) = delete;
    MarkFifo& operator=(const MarkFifo&) = delete;
    // The script line of one mark.
    std::string Mark() const;
    const std::string& Path() const { return fifo_; }

  private:
    std::string folder_, fifo_;
};

// Starts the program on `device` with QT_QPA_PLATFORM=offscreen, its standard error thrown
// away, plays `script` (written to a file beside the fifo) and waits for its end.
ProgramRun RunProgram(const std::string& device, const std::string& script, const MarkFifo& fifo);
