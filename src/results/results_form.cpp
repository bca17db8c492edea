#include "results/results_form.h"

namespace ombrix::results {

void ResultsForm::Copy(const std::string& shown) {
    if (const base::Result<> put = clipboard_.PutText(shown); !put) {
        messages_.Show(
            base::WithReason("Ombrix could not put the results on the clipboard.", put.Reason()),
            platform::MessageStyle::OkExclamation);
    }
}

}  // namespace ombrix::results
