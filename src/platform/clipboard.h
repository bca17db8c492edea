// Clipboard and printer: where a report goes besides the screen.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/result.h"

namespace ombrix::platform {

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Empties the clipboard and puts `text` on it as plain text. Fails with the system's
    // reason when the clipboard could not be had.
    virtual base::Result<> PutText(const std::string& text) = 0;
};

// A printed page as a grid of fixed-pitch character cells.
struct PageGrid {
    int columns = 0;
    int lines = 0;
};

// The lines of one page, top to bottom; each starts at the page's left edge.
using PrintedPage = std::vector<std::string>;

class Printer {
  public:
    virtual ~Printer() = default;
    // One job on the default printer, in a fixed-pitch font. Once the job has begun, `layOut` is
    // asked for its pages in the grid of the printer's page, and each goes on a sheet of its own.
    // Fails with a reason the user can act on when there is no printer or the job failed; a
    // failed job is withdrawn.
    virtual base::Result<> Print(
        const std::string& documentName,
        const std::function<std::vector<PrintedPage>(PageGrid)>& layOut) = 0;
};

}  // namespace ombrix::platform
