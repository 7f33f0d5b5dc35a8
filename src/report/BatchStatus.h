#pragma once

// Exit statuses of the batch mode (prx5m --pdf), the same for both reports.
namespace BatchStatus {
enum : int {
    Ok = 0,
    BadInput = 2,         // usage, or a work file that cannot be read
    NothingToPrint = 3,   // no row in use
    CannotWritePdf = 4,   // the PDF cannot be written (also: the target is no regular file)
    ValueTooLarge = 5,    // a value does not fit its column of the print table
    CannotBuildTable = 6, // the print table cannot be made in the work folder
    NoJapaneseFont = 7,   // no Japanese font is installed: the report would show empty boxes
};
} // namespace BatchStatus
