// Recipe functions of the noise textures and hit samples; each takes the
// length in samples and returns the unfinished signal (any scale).
#pragma once

#include "SampleDsp.h"

namespace kettrix::samplegen {

Buffer noiseWhite(std::size_t n);
Buffer noiseLowPass(std::size_t n);
Buffer noiseBandPass(std::size_t n);
Buffer noiseHighPass(std::size_t n);
Buffer noiseDistorted(std::size_t n);
Buffer noiseCrushed(std::size_t n);
Buffer snare808(std::size_t n);
Buffer snare909(std::size_t n);
Buffer snareAcoustic1(std::size_t n);
Buffer snareAcoustic2(std::size_t n);
Buffer snareAcoustic3(std::size_t n);
Buffer snareAcoustic4(std::size_t n);
Buffer snareAcoustic5(std::size_t n);
Buffer agogo(std::size_t n);
Buffer clave(std::size_t n);
Buffer wood(std::size_t n);
Buffer tambourine(std::size_t n);
Buffer bells(std::size_t n);
Buffer hat505(std::size_t n);
Buffer hat606(std::size_t n);
Buffer hat808(std::size_t n);
Buffer hat909(std::size_t n);
Buffer cymbal808(std::size_t n);
Buffer cymbal909(std::size_t n);
Buffer crash(std::size_t n);
Buffer clap1(std::size_t n);
Buffer clap2(std::size_t n);
Buffer clap3(std::size_t n);
Buffer clap4(std::size_t n);
Buffer clap5(std::size_t n);
Buffer vinylCrackle(std::size_t n);
Buffer vinylHiss(std::size_t n);
Buffer rumble1(std::size_t n);
Buffer rumble2(std::size_t n);
Buffer springReverb(std::size_t n);
Buffer octave1(std::size_t n);
Buffer octave2(std::size_t n);

Buffer hitAnalog1(std::size_t n);
Buffer hitAnalog2(std::size_t n);
Buffer hitTom808(std::size_t n);
Buffer hitKick808(std::size_t n);
Buffer hitKick909(std::size_t n);
Buffer hitAcoustic1(std::size_t n);
Buffer hitAcoustic2(std::size_t n);
Buffer hitAcoustic3(std::size_t n);
Buffer hitAcoustic4(std::size_t n);
Buffer hitAcoustic5(std::size_t n);
Buffer hitMetal1(std::size_t n);
Buffer hitMetal2(std::size_t n);
Buffer hitMetal3(std::size_t n);
Buffer hitWood1(std::size_t n);
Buffer hitWood2(std::size_t n);
Buffer hitWood3(std::size_t n);
Buffer hitWood4(std::size_t n);

}  // namespace kettrix::samplegen
