#include "learning/learn_capture.h"

#include "learning/diagnostic_capture.h"
#include "learning/normalise.h"

CaptureLearning LearnCapture(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode,
                             std::string_view capture, const QString& converterFolder,
                             LeakedEntries leaked) {
    CaptureLearning attempt;
    const std::string cut = CutAtEndMarker(capture);
    const std::optional<NormalisedCode> normalised = NormaliseRawCodeParts(cut);
    // A diagnostic that cannot be kept is no error of learning, but the front end says so.
    if (!normalised)
        attempt.diagnosticKept = SaveDiagnosticCapture(cut, DiagnosticCapturePath()).HasValue();
    // A capture that cannot be normalised still goes to the converter, as an empty body: the
    // converter's answer decides how the attempt fails.
    const std::string body = normalised ? normalised->body : std::string();
    if (normalised)
        attempt.normalised = normalised->Text();
    attempt.conversion = ConvertWithLibrary(body, converterFolder);
    if (attempt.conversion.status == ConversionStatus::kConverted)
        attempt.learned = WriteLearnedCode(map, device, keyCode, attempt.conversion.text, leaked);
    return attempt;
}
