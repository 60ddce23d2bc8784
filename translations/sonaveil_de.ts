<?xml version='1.0' encoding='utf-8'?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>sonaveil::controls::MasterVolume</name>
    <message>
        <source>System volume</source>
        <translation>Systemlautstärke</translation>
    </message>
    <message>
        <source>Volume:  %1%</source>
        <translation>Lautstärke:  %1%</translation>
    </message>
    <message>
        <source>Mute or unmute</source>
        <translation>Stumm schalten oder Ton wieder an</translation>
    </message>
    <message>
        <source>%1 %, muted</source>
        <translation>%1 %, stumm</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
</context>
<context>
    <name>sonaveil::controls::TimeControl</name>
    <message>
        <source>Setting the hours</source>
        <translation>Stunden einstellen</translation>
    </message>
    <message>
        <source>Setting the minutes</source>
        <translation>Minuten einstellen</translation>
    </message>
    <message>
        <source>Setting the seconds</source>
        <translation>Sekunden einstellen</translation>
    </message>
    <message>
        <source>Setting AM or PM</source>
        <translation>Vormittag oder Nachmittag einstellen</translation>
    </message>
</context>
<context>
    <name>sonaveil::lumidot::GeneralPage</name>
    <message>
        <source>Number of Columns (Width) [Values: 1 to 80]</source>
        <translation>Anzahl der Spalten (Breite) [Werte: 1 bis 80]</translation>
    </message>
    <message>
        <source>Number of Rows (Height) [Values: 1 to 4]</source>
        <translation>Anzahl der Zeilen (Höhe) [Werte: 1 bis 4]</translation>
    </message>
    <message>
        <source>Lcd Column Number Error
Values: 1 to 80</source>
        <translation>Fehler in der Spaltenzahl der Anzeige
Werte: 1 bis 80</translation>
    </message>
    <message>
        <source>Lcd Row Number Error
Value: 1 to 4</source>
        <translation>Fehler in der Zeilenzahl der Anzeige
Wert: 1 bis 4</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>More columns</source>
        <translation>Mehr Spalten</translation>
    </message>
    <message>
        <source>Fewer columns</source>
        <translation>Weniger Spalten</translation>
    </message>
    <message>
        <source>More rows</source>
        <translation>Mehr Zeilen</translation>
    </message>
    <message>
        <source>Fewer rows</source>
        <translation>Weniger Zeilen</translation>
    </message>
    <message>
        <source>BorderStyle</source>
        <translation>BorderStyle (Rahmen)</translation>
    </message>
    <message>
        <source>Lcd Size</source>
        <translation>Anzeigegröße</translation>
    </message>
    <message>
        <source>LCDCol:</source>
        <translation>LCDCol (Spalten):</translation>
    </message>
    <message>
        <source>LCDRow:</source>
        <translation>LCDRow (Zeilen):</translation>
    </message>
    <message>
        <source>Advance</source>
        <translation>Erweitert</translation>
    </message>
    <message>
        <source>ColBorderSize:</source>
        <translation>ColBorderSize (Seitenrand):</translation>
    </message>
    <message>
        <source>Colspace:</source>
        <translation>Colspace (Spaltenabstand):</translation>
    </message>
    <message>
        <source>Rowspace:</source>
        <translation>Rowspace (Zeilenabstand):</translation>
    </message>
    <message>
        <source>RowBorderSize:</source>
        <translation>RowBorderSize (oberer Rand):</translation>
    </message>
    <message>
        <source>Value Invalid</source>
        <translation>Ungültiger Wert</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::catalogue</name>
    <message>
        <source>White Noise</source>
        <translation>Weißes Rauschen</translation>
    </message>
    <message>
        <source>Pink Noise </source>
        <translation>Rosa Rauschen </translation>
    </message>
    <message>
        <source>Brown Noise</source>
        <translation>Braunes Rauschen</translation>
    </message>
    <message>
        <source>Blue Noise</source>
        <translation>Blaues Rauschen</translation>
    </message>
    <message>
        <source>Violet Noise</source>
        <translation>Violettes Rauschen</translation>
    </message>
    <message>
        <source>Rain1</source>
        <translation>Regen 1</translation>
    </message>
    <message>
        <source>Rain2</source>
        <translation>Regen 2</translation>
    </message>
    <message>
        <source>Rain3</source>
        <translation>Regen 3</translation>
    </message>
    <message>
        <source>Ocean</source>
        <translation>Meer</translation>
    </message>
    <message>
        <source>Cicada 1</source>
        <translation>Zikade 1</translation>
    </message>
    <message>
        <source>Cicada 3</source>
        <translation>Zikade 3</translation>
    </message>
    <message>
        <source>Cicada 2</source>
        <translation>Zikade 2</translation>
    </message>
    <message>
        <source>Rain5</source>
        <translation>Regen 5</translation>
    </message>
    <message>
        <source>Rain4</source>
        <translation>Regen 4</translation>
    </message>
    <message>
        <source>Cicada3</source>
        <translation>Zikade 3</translation>
    </message>
    <message>
        <source>Cicada2</source>
        <translation>Zikade 2</translation>
    </message>
    <message>
        <source>Cicada1</source>
        <translation>Zikade 1</translation>
    </message>
    <message>
        <source>Air Conditioner</source>
        <translation>Klimaanlage</translation>
    </message>
    <message>
        <source>Air Condiioner2</source>
        <translation>Klimaanlage 2</translation>
    </message>
    <message>
        <source>Aircraft Cabin</source>
        <translation>Flugzeugkabine</translation>
    </message>
    <message>
        <source>Train Cabin</source>
        <translation>Zugabteil</translation>
    </message>
    <message>
        <source>Aquarium1</source>
        <translation>Aquarium 1</translation>
    </message>
    <message>
        <source>Aquarium2</source>
        <translation>Aquarium 2</translation>
    </message>
    <message>
        <source>Fan</source>
        <translation>Ventilator</translation>
    </message>
    <message>
        <source>Hoover</source>
        <translation>Staubsauger</translation>
    </message>
    <message>
        <source>Fire</source>
        <translation>Kaminfeuer</translation>
    </message>
    <message>
        <source>Hairdryer</source>
        <translation>Föhn</translation>
    </message>
    <message>
        <source>Vacuum Cleaner</source>
        <translation>Staubsauger 2</translation>
    </message>
    <message>
        <source>Vacuum 2</source>
        <translation>Staubsauger 3</translation>
    </message>
    <message>
        <source>Vacuum3</source>
        <translation>Staubsauger 4</translation>
    </message>
    <message>
        <source>Vacuum4</source>
        <translation>Staubsauger 5</translation>
    </message>
</context>
</TS>