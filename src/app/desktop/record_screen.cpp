#include "app/desktop/record_screen.h"

// The customer record screen is not part of this build yet: the list prepares a new customer and
// selects a stored one, and nothing opens.
TfrmPrincipal::RecordScreenOpener RecordScreenOpener() {
    return {};
}
