#pragma once
// A small synthesiser in the manner of the classic sfxr generators: one oscillator whose
// pitch slides exponentially from a start to an end frequency (with an optional jump, an
// arpeggio step), mixed with noise, shaped by an attack-sustain-decay envelope and a
// one-pole low-pass filter. Each sound is rendered once, at start-up, into a mono buffer.
#include <vector>

enum class Wave { Square, Saw, Triangle, Sine, Noise };

struct SynthParams
{
    Wave wave;
    float startHz;
    float endHz;
    float attack;       // seconds
    float sustain;      // seconds at full level
    float decay;        // seconds
    float duty;         // of the square wave, 0..1
    float noise;        // share of white noise mixed into the tone, 0..1
    float lowpassHz;    // 0: no filter
    float jumpAt;       // fraction of the length where the pitch jumps, 0: never
    float jumpRatio;    // the pitch is multiplied by this at the jump
    float peak;         // the rendered sound's peak, linear full scale
    unsigned seed;      // of the noise, so that every run sounds the same
};

// Renders the sound, scaled so that its largest sample is params.peak.
std::vector<float> Synthesise(const SynthParams& params);
