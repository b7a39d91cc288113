// The effect parameter description parser: any text either fails cleanly
// or makes parameters whose value text parses back as a description of the
// same length.
#include "editor/ui/EffectDescription.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<EffectParam*> params;
    EffectOptionTable options;
    if (ParseEffectDescription(text.c_str(), &params, &options)) {
        const std::string values = FormatEffectValues(params);
        size_t statements = 0;
        for (EffectParam* p : params)
            if (p->state != EffectParam::kCaption)
                ++statements;
        // Every written statement ends in "';".
        size_t ends = 0;
        for (size_t k = 1; k < values.size(); ++k)
            if (values[k] == ';' && values[k - 1] == '\'')
                ++ends;
        if (ends < statements)
            std::abort();
    } else if (!params.empty() || options.Count() != 0) {
        std::abort();
    }
    DeleteEffectParams(&params);
    return 0;
}
