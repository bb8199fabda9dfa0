#include "learning/program_signal.h"

#include "converter/body_text.h"
#include "converter/ir_render.h"

ProgramResult ProgramSignal(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode,
                            const quorvel::Durations& signal, const QString& converterFolder,
                            LeakedEntries leaked) {
    ProgramResult result;
    result.conversion = ConvertWithLibrary(quorvel::FormatBody(signal), converterFolder);
    if (result.conversion.status == ConversionStatus::kConverted)
        result.learned = WriteLearnedCode(map, device, keyCode, result.conversion.text, leaked);
    return result;
}

ProgramResult ProgramSignal(RemoteMap& map, DeviceLibrary& device, KeyCode keyCode,
                            const quorvel::ProtocolDef& protocol, const quorvel::Params& params,
                            int repeats, const QString& converterFolder) {
    return ProgramSignal(map, device, keyCode, quorvel::Render(protocol, params, repeats).durations,
                         converterFolder);
}
