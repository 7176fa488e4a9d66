#pragma once

#include "workspace/ui/frm_principal.h"

// How the customer list opens the customer record screen in this build.
TfrmPrincipal::RecordScreenOpener RecordScreenOpener();
