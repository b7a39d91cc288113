// The two effect plug-ins as the editor runs them: the real .qli modules,
// their apply functions through a FilterHost, on the 24-megapixel photo and
// the 1-megapixel preview. Peer: ImageMagick's -unsharp 0x<radius/2> with
// amount 3 x Amount / 64, the same large-radius local contrast as Sci-fi
// (Amount 50). Rain on glass has no peer.
#include "BenchSupport.h"

#include "algorithms/EffectAlgorithm.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Library.h"
#include "plugins/PluginInterface.h"

#include <string>

namespace {

struct LoadedEffect {
    HMODULE module = nullptr;
    EffectRecord record{};
    CQLImageCodec codec;

    explicit LoadedEffect(const char* file)
    {
        module = LoadLibraryA((std::string(QUILLO_CREATIVE_DIR) + "/" + file).c_str());
        auto entry = module ? reinterpret_cast<PluginEntryFunction>(GetProcAddress(module, "PluginEntry")) : nullptr;
        record.module = module;
        if (entry)
            entry(kPluginFillRecord, &record, nullptr);
        record.codec = &codec;
    }
};

LoadedEffect& Effect(const char* file)
{
    // Held for the program's life, as the editor holds its plug-ins.
    static auto* fx = new LoadedEffect("QuilloFx.qli");
    static auto* droplet = new LoadedEffect("QuilloDroplet.qli");
    return std::string(file) == "QuilloFx.qli" ? *fx : *droplet;
}

EffectApplyFunction currentApply = nullptr;

int CallApply(void* values, FilterHost* host)
{
    return currentApply(static_cast<const char*>(values), host);
}

void RunEffect(benchmark::State& state, const char* file, const std::string& values, bool preview)
{
    LoadedEffect& effect = Effect(file);
    if (!effect.record.apply) {
        state.SkipWithError("plug-in not built");
        return;
    }
    const CQLImage& source = preview ? SyntheticPreview() : SyntheticPhoto();
    CQLImage target;
    FilterHost host;
    host.SetImages(const_cast<CQLImage*>(&source), &target);
    std::string text = values;
    host.SetParam(text.data());
    currentApply = effect.record.apply;
    for (auto _ : state)
        if (host.Apply(reinterpret_cast<const void*>(&CallApply)) != 0)
            state.SkipWithError("apply failed");
}

void SciFi(benchmark::State& state)
{
    const std::string values = "'Radius'='" + std::to_string(state.range(0)) + "';'Amount'='50';'process color'='0';";
    RunEffect(state, "QuilloFx.qli", values, state.range(1) != 0);
}

void Peer_MagickUnsharp(benchmark::State& state)
{
    const int radius = static_cast<int>(state.range(0));
    const std::string option = "-unsharp 0x" + std::to_string(radius / 2) + "+" + std::to_string(3.0 * 50 / 64) + "+0";
    RunPeer(state, "convert " + PeerInputPpm(state.range(1) != 0) + " " + option + " " + BenchFolder() + "/unsharp.ppm");
}

void Rain(benchmark::State& state)
{
    RunEffect(state, "QuilloDroplet.qli", "'Rain Amount'='100';'Radius'='75';'Fog'='50';", state.range(0) != 0);
}

} // namespace

// Args: radius, preview (1) or photo (0).
BENCHMARK(SciFi)->Args({64, 0})->Args({128, 0})->Args({64, 1})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_MagickUnsharp)->Args({64, 0})->Args({128, 0})->Args({64, 1})->Unit(benchmark::kMillisecond)->UseRealTime();
// Arg: preview (1) or photo (0).
BENCHMARK(Rain)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
