#pragma once

// Who offers a finding: the detector chain of the application object, or the
// file-tree walk. The two follow different listing rules.
enum class FindingSource { Detector, Walk };
