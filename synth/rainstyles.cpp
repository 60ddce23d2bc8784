#include "synth/rainstyles.h"

namespace sonaveil::synth::rainstyles {

RainStyle garden()
{
    RainStyle s;
    s.dropsPerSecond = 700;
    s.tickTauMs[0] = 0.2; s.tickTauMs[1] = 0.8;
    s.resHz[0] = 2000; s.resHz[1] = 6000;
    s.resTauMs[0] = 1.0; s.resTauMs[1] = 2.5;
    s.resShare = 0.25;
    s.sizeSigma = 0.6;
    s.dropColour = bandpass(400, 12000, 2);
    s.plinksPerSecond = 18;
    s.plinksDb = -9;
    s.bed = product({bandpass(300, 9000, 2), tilt(-1.5)});
    s.bedDb = -2;
    s.gustHz = 0.14; s.gustDepth = 0.12;
    return s;
}

RainStyle roof()
{
    RainStyle s;
    s.dropsPerSecond = 260;
    s.tickTauMs[0] = 0.4; s.tickTauMs[1] = 1.5;
    s.resHz[0] = 700; s.resHz[1] = 1700;
    s.resTauMs[0] = 5; s.resTauMs[1] = 12;
    s.resShare = 0.55;
    s.sizeSigma = 0.75;
    s.dropColour = bandpass(150, 7000, 2);
    s.bed = product({bandpass(150, 5000, 2), tilt(-2)});
    s.bedDb = -8;
    s.gustHz = 0.06; s.gustDepth = 0.15;
    return s;
}

RainStyle downpour()
{
    RainStyle s;
    s.dropsPerSecond = 2500;
    s.tickTauMs[0] = 0.15; s.tickTauMs[1] = 0.6;
    s.resHz[0] = 1500; s.resHz[1] = 5000;
    s.resTauMs[0] = 0.8; s.resTauMs[1] = 2.0;
    s.resShare = 0.2;
    s.sizeSigma = 0.8;
    s.dropColour = bandpass(300, 14000, 2);
    s.dropsDb = 0;
    s.plinksPerSecond = 40;
    s.plinkHz[0] = 900; s.plinkHz[1] = 3000;
    s.plinksDb = -12;
    s.bed = product({bandpass(150, 12000, 1), tilt(-1)});
    s.bedDb = -2;
    s.gustHz = 0.12; s.gustDepth = 0.25;
    return s;
}

RainStyle thunder()
{
    RainStyle s;
    s.dropsPerSecond = 450;
    s.tickTauMs[0] = 0.2; s.tickTauMs[1] = 0.9;
    s.resHz[0] = 1200; s.resHz[1] = 3500;
    s.resTauMs[0] = 1.0; s.resTauMs[1] = 3.0;
    s.resShare = 0.3;
    s.dropColour = bandpass(300, 10000, 2);
    s.plinksPerSecond = 10;
    s.plinksDb = -10;
    s.bed = product({bandpass(200, 8000, 2), tilt(-1.5)});
    s.bedDb = 0;
    s.gustHz = 0.16; s.gustDepth = 0.15;
    return s;
}

RainStyle leaves()
{
    RainStyle s;
    s.dropsPerSecond = 380;
    s.tickTauMs[0] = 0.15; s.tickTauMs[1] = 0.5;
    s.resHz[0] = 2500; s.resHz[1] = 7000;
    s.resTauMs[0] = 1.5; s.resTauMs[1] = 3.5;
    s.resShare = 0.6;
    s.sizeSigma = 0.6;
    s.patterHz = 1.5; s.patterDepth = 0.6;
    s.dropColour = bandpass(800, 12000, 2);
    s.bed = bandpass(1000, 9000, 2);
    s.bedDb = -6;
    s.gustHz = 0.1; s.gustDepth = 0.2;
    return s;
}

RainStyle drizzle()
{
    RainStyle s;
    s.dropsPerSecond = 45;
    s.tickTauMs[0] = 0.2; s.tickTauMs[1] = 0.6;
    s.resHz[0] = 2000; s.resHz[1] = 5000;
    s.resTauMs[0] = 1.0; s.resTauMs[1] = 2.0;
    s.resShare = 0.3;
    s.sizeSigma = 0.5;
    s.dropColour = bandpass(600, 11000, 2);
    s.dropsDb = -3;
    s.plinksPerSecond = 5;
    s.plinksDb = -14;
    s.bed = product({bandpass(1500, 12000, 2), tilt(-1)});
    s.bedDb = -1;
    s.gustHz = 0.05; s.gustDepth = 0.1;
    return s;
}

RainStyle gutter()
{
    RainStyle s;
    s.dropsPerSecond = 350;
    s.tickTauMs[0] = 0.2; s.tickTauMs[1] = 1.0;
    s.resHz[0] = 1500; s.resHz[1] = 4500;
    s.resTauMs[0] = 1.0; s.resTauMs[1] = 3.0;
    s.resShare = 0.3;
    s.dropColour = bandpass(300, 9000, 2);
    s.bed = product({bandpass(250, 7000, 2), tilt(-1.5)});
    s.bedDb = -2;
    s.gustHz = 0.07; s.gustDepth = 0.12;
    return s;
}

RainStyle tinRoof()
{
    RainStyle s;
    s.dropsPerSecond = 700;
    s.tickTauMs[0] = 0.3; s.tickTauMs[1] = 1.0;
    s.resHz[0] = 500; s.resHz[1] = 1100;
    s.resTauMs[0] = 6; s.resTauMs[1] = 14;
    s.resShare = 0.4;
    s.sizeSigma = 0.8;
    s.dropColour = bandpass(120, 8000, 2);
    s.bed = product({bandpass(100, 5000, 2), tilt(-2)});
    s.bedDb = -4;
    s.gustHz = 0.1; s.gustDepth = 0.2;
    return s;
}

} // namespace sonaveil::synth::rainstyles
