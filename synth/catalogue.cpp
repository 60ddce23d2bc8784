#include "synth/recipes.h"
#include "synth/synth.h"

namespace sonaveil::synth {

namespace {

using namespace recipes;

SoundRecipe sound(int number, int rate, double seconds, const char* madeOf,
                  std::function<Signal(const Loop&, Rng&)> make)
{
    SoundRecipe r;
    r.number = number;
    r.rate = rate;
    r.seconds = seconds;
    r.container = number <= 30 ? Container::Flac : Container::Wav;
    r.path = "bin/" + std::to_string(number) + (number <= 30 ? ".isz" : ".wav");
    r.madeOf = madeOf;
    r.make = std::move(make);
    return r;
}

std::function<Signal(const Loop&, Rng&)> noise(double dbPerOctave)
{
    return [dbPerOctave](const Loop& loop, Rng& rng) { return colouredNoise(loop, rng, dbPerOctave); };
}

std::vector<SoundRecipe> build()
{
    constexpr int hi = 44100;
    constexpr int lo = 33000;
    std::vector<SoundRecipe> all = {
        sound(1, hi, 32, "white noise: flat spectrum made in the frequency domain", noise(0.0)),
        sound(2, hi, 32, "pink noise: -3.01 dB per octave", noise(-3.0103)),
        sound(3, hi, 32, "brown noise: -6.02 dB per octave, no drift", noise(-6.0206)),
        sound(4, hi, 32, "blue noise: +3.01 dB per octave", noise(3.0103)),
        sound(5, hi, 32, "violet noise: +6.02 dB per octave", noise(6.0206)),
        sound(6, hi, 32, "steady garden rain: 700 small drops/s, drops into puddles, soft hiss bed", rainGarden),
        sound(7, hi, 32, "rain on a roof: 260 drops/s ringing at 0.7-1.7 kHz, drips from the eaves", rainRoof),
        sound(8, hi, 32, "heavy downpour: 2500 drops/s over a broad roaring bed, gusting", rainDownpour),
        sound(9, hi, 36, "surf: waves of many sizes at uneven gaps, swelling low, breaking bright, washing out in foam", ocean),
        sound(10, hi, 32, "cicada chorus: five endless buzzing songs near 5 kHz, swelling and fading unevenly", cicadaDrone),
        sound(11, hi, 32, "cicadas: three singers in long swelling 5 s calls near 4.4 kHz", cicadaSwells),
        sound(12, hi, 32, "cicadas: four chirpers, about three short chirps a second near 6.5 kHz", cicadaChirps),
        sound(13, lo, 40, "rain with one distant roll of thunder per loop", rainThunder),
        sound(14, lo, 32, "rain on leaves: high pattering taps in gusts, big drops let go by leaves", rainLeaves),
        sound(15, lo, 32, "light drizzle: fine high hiss with a few separate drops", rainDrizzle),
        sound(16, lo, 32, "rain with two gutter drips falling into a water butt", rainGutter),
        sound(17, lo, 32, "heavy rain drumming on a tin roof: 700 drops/s ringing at 0.5-1.1 kHz", rainTinRoof),
        sound(18, lo, 32, "cicadas: ticking trains of clicks (about 30/s) in 1.5 s phrases near 6.4 kHz",
              cicadaTicking),
        sound(19, lo, 32, "cicadas: two singers alternating a slow rise and fall near 4.2 kHz", cicadaWeeOo),
        sound(20, lo, 32, "cicadas: a high group near 7.4 kHz pulsing together four times a second",
              cicadaShimmer),
        sound(21, lo, 32, "ducted air conditioner: dark steady airflow, faint mains hum", airConditionerDuct),
        sound(22, lo, 32, "window air conditioner: brighter air, compressor hum, blade flutter",
              airConditionerWindow),
        sound(23, lo, 32, "aircraft cabin: low roar, two engine tones beating, faint fan whine", aircraftCabin),
        sound(24, lo, 32, "train cabin: rumble, sway and the clickety-clack of rail joints", trainCabin),
        sound(25, lo, 32, "aquarium with an air stone: stream of small bubbles, surface, pump hum",
              aquariumAirStone),
        sound(26, lo, 32, "aquarium filter outflow: gurgling large bubbles, water stream, pump buzz",
              aquariumFilter),
        sound(27, lo, 32, "oscillating fan: soft airflow swelling as the head turns every 8 s", fan),
        sound(28, lo, 32, "upright hoover: motor at 260 Hz, whine, airflow, beater bar knocking", hoover),
        sound(29, lo, 32, "fire: flickering roar, clustered crackles, sap pops, gas hiss", fire),
        sound(30, lo, 32, "hairdryer, hot: bright air rush, small fast motor", hairdryerHot),
        sound(31, hi, 32, "hairdryer, low: softer darker air, slower motor, heater flutter", hairdryerLow),
        sound(32, hi, 32, "canister vacuum cleaner: motor at 470 Hz, impeller whine 3.3 kHz", vacuumCanister),
        sound(33, hi, 32, "central vacuum: dark roar of air through a hose, hose whistle", vacuumCentral),
        sound(34, hi, 32, "handheld vacuum: thin high whine at 920 Hz", vacuumHandheld),
        sound(35, hi, 32, "workshop vacuum: deep rich motor at 205 Hz, rattle", vacuumWorkshop),
    };
    SoundRecipe alarm;
    alarm.number = 0;
    alarm.path = "config/alarms/default.wav";
    alarm.rate = hi;
    alarm.seconds = 4.0;
    alarm.container = Container::Wav;
    alarm.madeOf = "alarm: two rising four-note phrases of a soft bell (C5 E5 G5 C6)";
    alarm.make = alarmChime;
    alarm.alarm = true;
    all.push_back(alarm);
    return all;
}

} // namespace

const std::vector<SoundRecipe>& catalogue()
{
    static const std::vector<SoundRecipe> all = build();
    return all;
}

} // namespace sonaveil::synth
