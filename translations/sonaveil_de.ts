<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>PlayerNotices</name>
    <message>
        <source>the file is missing</source>
        <translation>die Datei fehlt</translation>
    </message>
    <message>
        <source>it is not a regular file (a folder, a pipe or a device stands in its place)</source>
        <translation>sie ist keine gewöhnliche Datei (an ihrer Stelle steht ein Ordner, eine Pipe oder ein Gerät)</translation>
    </message>
    <message>
        <source>it cannot be read (%1)</source>
        <translation>sie kann nicht gelesen werden (%1)</translation>
    </message>
    <message>
        <source>it is not a sound file Sonaveil can read</source>
        <translation>sie ist keine Klangdatei, die Sonaveil lesen kann</translation>
    </message>
    <message>
        <source>it is damaged: it holds no sound</source>
        <translation>sie ist beschädigt: sie enthält keinen Klang</translation>
    </message>
    <message>
        <source>Sonaveil could not load these sounds:</source>
        <translation>Sonaveil konnte diese Klänge nicht laden:</translation>
    </message>
    <message>
        <source>&quot;%1&quot; from &quot;%2&quot;: %3. %4</source>
        <translation>„%1“ aus „%2“: %3. %4</translation>
    </message>
    <message>
        <source>It plays live while endless sounds are on.</source>
        <translation>Er wird live erzeugt, solange endlose Klänge eingeschaltet sind.</translation>
    </message>
    <message>
        <source>It stays silent.</source>
        <translation>Er bleibt stumm.</translation>
    </message>
    <message>
        <source>The mix that plays could not be kept in &quot;%1&quot;: %2. Sonaveil tells you again only if the reason changes.</source>
        <translation>Der laufende Mix konnte nicht in „%1“ gesichert werden: %2. Sonaveil meldet es erst wieder, wenn sich der Grund ändert.</translation>
    </message>
    <message>
        <source>The alarm&apos;s shut-down option has asked the computer to power off in %1 seconds, at %2.</source>
        <translation>Die Ausschalt-Option des Weckers hat den Computer gebeten, sich in %1 Sekunden auszuschalten, um %2.</translation>
    </message>
    <message>
        <source>Cancel shut-down</source>
        <translation>Ausschalten abbrechen</translation>
    </message>
    <message>
        <source>This desktop shows no tray icons, so Sonaveil is minimised instead of hidden: you find it on the task bar.</source>
        <translation>Diese Arbeitsfläche zeigt keine Symbole im Infobereich, daher wird Sonaveil minimiert statt ausgeblendet: Sie finden es in der Taskleiste.</translation>
    </message>
    <message>
        <source>it cannot be written</source>
        <translation>sie lässt sich nicht schreiben</translation>
    </message>
    <message>
        <source>Sonaveil could not save these files as it closed:
%1</source>
        <translation>Sonaveil konnte diese Dateien beim Beenden nicht speichern:
%1</translation>
    </message>
</context>
<context>
    <name>quietdeck</name>
    <message>
        <source>cannot load &quot;%1&quot;: %2</source>
        <translation>kann „%1“ nicht laden: %2</translation>
    </message>
    <message>
        <source>cannot load &quot;%1&quot;: it does not hold a preset</source>
        <translation>kann „%1“ nicht laden: die Datei enthält keine Voreinstellung</translation>
    </message>
    <message>
        <source>the running player does not answer</source>
        <translation>der laufende Player antwortet nicht</translation>
    </message>
    <message>
        <source>later starts cannot reach this player (%1)</source>
        <translation>spätere Starts erreichen diesen Player nicht (%1)</translation>
    </message>
    <message>
        <source>cannot create the folder %1: a file of that name is in the way</source>
        <translation>kann den Ordner %1 nicht anlegen: eine Datei dieses Namens steht im Weg</translation>
    </message>
    <message>
        <source>cannot create the folder %1: %2</source>
        <translation>kann den Ordner %1 nicht anlegen: %2</translation>
    </message>
</context>
<context>
    <name>recorder</name>
    <message>
        <source>cannot create the folder %1: a file of that name is in the way</source>
        <translation>kann den Ordner %1 nicht anlegen: eine Datei dieses Namens steht im Weg</translation>
    </message>
    <message>
        <source>cannot create the folder %1: %2</source>
        <translation>kann den Ordner %1 nicht anlegen: %2</translation>
    </message>
</context>
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
    <name>sonaveil::player::AlarmWindow</name>
    <message>
        <source>Alarm Clock</source>
        <translation>Wecker</translation>
    </message>
    <message>
        <source>Alarm time</source>
        <translation>Weckzeit</translation>
    </message>
    <message>
        <source>The time of day the alarm goes off (24-hour)</source>
        <translation>Die Uhrzeit, zu der der Wecker klingelt (24 Stunden)</translation>
    </message>
    <message>
        <source>Play for</source>
        <translation>Spieldauer</translation>
    </message>
    <message>
        <source>How long the alarm plays when it does not repeat</source>
        <translation>Wie lange der Wecker spielt, wenn er sich nicht wiederholt</translation>
    </message>
    <message>
        <source>&amp;Repeat alarm continuously</source>
        <translation>&amp;Wecker ständig wiederholen</translation>
    </message>
    <message>
        <source>&amp;Fade in alarm volume</source>
        <translation>Wecklautstärke &amp;langsam steigern</translation>
    </message>
    <message>
        <source>Max Alarm Volume</source>
        <translation>Höchste Wecklautstärke</translation>
    </message>
    <message>
        <source>The volume of the alarm sound, and where a fade ends</source>
        <translation>Die Lautstärke des Wecktons und das Ende des Einblendens</translation>
    </message>
    <message>
        <source>Alarm sound</source>
        <translation>Weckton</translation>
    </message>
    <message>
        <source>C&amp;hoose Alarm</source>
        <translation>W&amp;eckton wählen</translation>
    </message>
    <message>
        <source>Choose the sound file the alarm plays</source>
        <translation>Die Tondatei wählen, die der Wecker spielt</translation>
    </message>
    <message>
        <source>&amp;Test Alarm</source>
        <translation>Wecker &amp;testen</translation>
    </message>
    <message>
        <source>Play the alarm sound now at the set volume</source>
        <translation>Den Weckton jetzt in der eingestellten Lautstärke spielen</translation>
    </message>
    <message>
        <source>Stop T&amp;est</source>
        <translation>Test &amp;beenden</translation>
    </message>
    <message>
        <source>Stop the test sound (this also switches the alarm off)</source>
        <translation>Den Testton beenden (das schaltet auch den Wecker aus)</translation>
    </message>
    <message>
        <source>Reset &amp;Default Alarm</source>
        <translation>&amp;Standardweckton</translation>
    </message>
    <message>
        <source>Use the program&apos;s own alarm sound</source>
        <translation>Den mitgelieferten Weckton verwenden</translation>
    </message>
    <message>
        <source>Sleep timer (instead of the alarm sound)</source>
        <translation>Einschlaftimer (statt des Wecktons)</translation>
    </message>
    <message>
        <source>Close &amp;program when alarm time is reached </source>
        <translation>&amp;Programm zur Weckzeit beenden </translation>
    </message>
    <message>
        <source>&amp;Shutdown computer when alarm time is reached </source>
        <translation>&amp;Computer zur Weckzeit ausschalten </translation>
    </message>
    <message>
        <source>Fade out over</source>
        <translation>Ausblenden über</translation>
    </message>
    <message>
        <source>Fade out time</source>
        <translation>Ausblendzeit</translation>
    </message>
    <message>
        <source>The masking sounds fall smoothly to silence over this time before the alarm time</source>
        <translation>Die Klänge werden in dieser Zeit vor der Weckzeit sanft leiser bis zur Stille</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 Minuten</translation>
    </message>
    <message>
        <source>Stop &amp;Alarm</source>
        <translation>Wecker &amp;aus</translation>
    </message>
    <message>
        <source>Silence the alarm that is playing</source>
        <translation>Den klingelnden Wecker verstummen lassen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>Sc&amp;hließen</translation>
    </message>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
    <message>
        <source>All Supported Samples (*.wav, *.mp3, *.ogg, *.wma)|*.wav;*.ogg;*.mp3;*.wma</source>
        <translation>Alle unterstützten Klänge (*.wav, *.mp3, *.ogg, *.wma)|*.wav;*.ogg;*.mp3;*.wma</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>Sekunden</translation>
    </message>
    <message>
        <source>Choose Alarm</source>
        <translation>Weckton wählen</translation>
    </message>
    <message>
        <source>The alarm settings cannot keep a file name with a double quote or a line break in it. Please rename the file or choose another one.</source>
        <translation>Die Weckereinstellungen können keinen Dateinamen mit einem doppelten Anführungszeichen oder einem Zeilenumbruch speichern. Bitte benennen Sie die Datei um oder wählen Sie eine andere.</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::ColoursEditor</name>
    <message>
        <source>Please type a name to identify this color scheme</source>
        <translation>Bitte geben Sie einen Namen für dieses Farbschema ein</translation>
    </message>
    <message>
        <source>This will delete the current preset. Continue?</source>
        <translation>Damit wird die aktuelle Voreinstellung gelöscht. Fortfahren?</translation>
    </message>
    <message>
        <source>The file could not be saved. Please try again ensuring you have not used special characters (!/&lt;&gt;&amp;*$%) in the name </source>
        <translation>Die Datei konnte nicht gespeichert werden. Bitte versuchen Sie es erneut, ohne Sonderzeichen (!/&lt;&gt;&amp;*$%) im Namen </translation>
    </message>
    <message>
        <source>There was an error loading the configuration!</source>
        <translation>Beim Laden der Einstellungen ist ein Fehler aufgetreten!</translation>
    </message>
    <message>
        <source>This scheme name is too long; please use at most %1 characters (fewer with accented letters).</source>
        <translation>Dieser Schemaname ist zu lang; bitte verwenden Sie höchstens %1 Zeichen (weniger bei Buchstaben mit Akzent oder Umlaut).</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>No Preset Selected</source>
        <translation>Kein Schema gewählt</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::ColoursWindow</name>
    <message>
        <source>Button Textcolor</source>
        <translation>Schriftfarbe der Tasten</translation>
    </message>
    <message>
        <source>Button Backcolor</source>
        <translation>Hintergrund der Tasten</translation>
    </message>
    <message>
        <source>Button Rollover</source>
        <translation>Tasten unter der Maus</translation>
    </message>
    <message>
        <source>Slider Gradient1</source>
        <translation>Reglerverlauf 1</translation>
    </message>
    <message>
        <source>Slider Gradient2</source>
        <translation>Reglerverlauf 2</translation>
    </message>
    <message>
        <source>Text Color</source>
        <translation>Textfarbe</translation>
    </message>
    <message>
        <source>Background Color</source>
        <translation>Hintergrundfarbe</translation>
    </message>
    <message>
        <source>Form Color</source>
        <translation>Fensterfarbe</translation>
    </message>
    <message>
        <source>Color Schemes</source>
        <translation>Farbschemata</translation>
    </message>
    <message>
        <source>Choose the %1</source>
        <translation>%1 wählen</translation>
    </message>
    <message>
        <source>LCD Scheme</source>
        <translation>Anzeigefarben</translation>
    </message>
    <message>
        <source>The palette of the status display</source>
        <translation>Die Farben der Statusanzeige</translation>
    </message>
    <message>
        <source>&amp;Image As Background</source>
        <translation>&amp;Bild als Hintergrund</translation>
    </message>
    <message>
        <source>Show the background picture; untick for the plain form colour</source>
        <translation>Das Hintergrundbild zeigen; ohne Haken nur die Fensterfarbe</translation>
    </message>
    <message>
        <source>Form color preview</source>
        <translation>Vorschau der Fensterfarbe</translation>
    </message>
    <message>
        <source>Choose the form color</source>
        <translation>Die Fensterfarbe wählen</translation>
    </message>
    <message>
        <source>The scheme before</source>
        <translation>Das vorige Schema</translation>
    </message>
    <message>
        <source>Color scheme</source>
        <translation>Farbschema</translation>
    </message>
    <message>
        <source>The saved color schemes</source>
        <translation>Die gespeicherten Farbschemata</translation>
    </message>
    <message>
        <source>The scheme after</source>
        <translation>Das nächste Schema</translation>
    </message>
    <message>
        <source>&amp;Save </source>
        <translation>&amp;Speichern </translation>
    </message>
    <message>
        <source>Save these colors as a scheme</source>
        <translation>Diese Farben als Schema speichern</translation>
    </message>
    <message>
        <source>&amp;Del</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Delete the scheme named in the list</source>
        <translation>Das in der Liste genannte Schema löschen</translation>
    </message>
    <message>
        <source>&amp;Restore Default Colors</source>
        <translation>S&amp;tandardfarben</translation>
    </message>
    <message>
        <source>Load the scheme named Default</source>
        <translation>Das Schema namens Default laden</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>&amp;Übernehmen</translation>
    </message>
    <message>
        <source>Recolor the player&apos;s windows and close</source>
        <translation>Die Fenster neu einfärben und schließen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Close; the colors chosen stay held</source>
        <translation>Schließen; die gewählten Farben bleiben vorgemerkt</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::CommandLine</name>
    <message>
        <source>--load needs a preset file</source>
        <translation>--load braucht eine Voreinstellungsdatei</translation>
    </message>
    <message>
        <source>unknown option &quot;%1&quot; (quietdeck --help lists the options)</source>
        <translation>unbekannte Option „%1“ (quietdeck --help nennt die Optionen)</translation>
    </message>
    <message>
        <source>Usage: quietdeck [options] [FILE.svp]
Sonaveil: masking sounds for the night. A second start hands its options to the player
that is running and brings its window forward.

  --load FILE   load a preset (.svp) as &quot;Load&quot; does; a FILE on its own does the same
  --previous    load the mix of the last session
  --add-sound FILE  add a sound file (or a folder of music) to My Sounds
  --stop-all    switch every sound off
  --mute        mute the mix
  --unmute      bring the muted mix back
  --tray        start hidden in the tray (a running player stays where it is)
  --tinnitus    open &quot;My Tinnitus&quot;: the measures, the diary and the plots
  --quit        close the running player
  --help        show this text
  --version     show the version</source>
        <translation>Aufruf: quietdeck [Optionen] [DATEI.svp]
Sonaveil: maskierende Klänge für die Nacht. Ein zweiter Start übergibt seine Optionen dem
laufenden Player und holt dessen Fenster nach vorn.

  --load DATEI  eine Voreinstellung (.svp) laden wie „Laden“; eine DATEI allein ebenso
  --previous    den Mix der letzten Sitzung laden
  --add-sound DATEI  eine Klangdatei (oder einen Ordner mit Musik) zu „Meine Klänge“ hinzufügen
  --stop-all    alle Klänge ausschalten
  --mute        den Mix stumm schalten
  --unmute      den stummen Mix wieder hörbar machen
  --tray        verborgen im Infobereich starten (ein laufender Player bleibt, wo er ist)
  --tinnitus    „Mein Tinnitus“ öffnen: Messungen, Tagebuch und Diagramme
  --quit        den laufenden Player beenden
  --help        diesen Text zeigen
  --version     die Version zeigen</translation>
    </message>
    <message>
        <source>--add-sound needs a sound file or a folder</source>
        <translation>--add-sound braucht eine Klangdatei oder einen Ordner</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::DesktopBridge</name>
    <message>
        <source>the player is closing</source>
        <translation>der Player wird gerade beendet</translation>
    </message>
    <message>
        <source>cannot load &quot;%1&quot;: %2</source>
        <translation>kann „%1“ nicht laden: %2</translation>
    </message>
    <message>
        <source>there is no previous mix (%1)</source>
        <translation>es gibt keinen vorigen Mix (%1)</translation>
    </message>
    <message>
        <source>cannot load the previous mix: %1</source>
        <translation>kann den vorigen Mix nicht laden: %1</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::Dialogs</name>
    <message>
        <source>A file name cannot contain a double quote (&quot;). Please type the name without it.</source>
        <translation>Ein Dateiname darf kein doppeltes Anführungszeichen (&quot;) enthalten. Bitte geben Sie den Namen ohne es ein.</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::Equaliser</name>
    <message>
        <source>No Preset Selected</source>
        <translation>Keine Voreinstellung gewählt</translation>
    </message>
    <message>
        <source>Please type a name to identify this equalizer configuration</source>
        <translation>Bitte geben Sie einen Namen für diese Equalizer-Einstellung ein</translation>
    </message>
    <message>
        <source>This will delete the current preset. Continue?</source>
        <translation>Damit wird die aktuelle Voreinstellung gelöscht. Fortfahren?</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::EqualiserWindow</name>
    <message>
        <source>Equalizer</source>
        <translation>Equalizer</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>Switch the equaliser on or off</source>
        <translation>Den Equalizer ein- oder ausschalten</translation>
    </message>
    <message>
        <source>Notch</source>
        <translation>Kerbe</translation>
    </message>
    <message>
        <source>Take a band around your matched pitch out of the whole mix (see Pitch Match)</source>
        <translation>Ein Band um Ihre gefundene Tonhöhe aus der ganzen Mischung nehmen (siehe Tonhöhe finden)</translation>
    </message>
    <message>
        <source>Preset</source>
        <translation>Voreinstellung</translation>
    </message>
    <message>
        <source>The previous preset</source>
        <translation>Die vorige Voreinstellung</translation>
    </message>
    <message>
        <source>Equaliser presets of the folder &quot;presets&quot;</source>
        <translation>Equalizer-Voreinstellungen im Ordner „presets“</translation>
    </message>
    <message>
        <source>The next preset</source>
        <translation>Die nächste Voreinstellung</translation>
    </message>
    <message>
        <source>%1 Hz band</source>
        <translation>Band %1 Hz</translation>
    </message>
    <message>
        <source>&amp;Save Preset</source>
        <translation>Voreinstellung &amp;speichern</translation>
    </message>
    <message>
        <source>Store these ten bands as a preset</source>
        <translation>Diese zehn Bänder als Voreinstellung speichern</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Delete the preset named in the list</source>
        <translation>Die in der Liste genannte Voreinstellung löschen</translation>
    </message>
    <message>
        <source>Ce&amp;nter all EQs</source>
        <translation>Alle Bänder auf &amp;Mitte</translation>
    </message>
    <message>
        <source>Every band to 0 dB</source>
        <translation>Jedes Band auf 0 dB</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
    <message>
        <source>+%1 dB</source>
        <translation>+%1 dB</translation>
    </message>
    <message>
        <source>−%1 dB</source>
        <translation>−%1 dB</translation>
    </message>
    <message>
        <source>0 dB</source>
        <translation>0 dB</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::MainWindow</name>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Klang</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Lautstärke</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Tonhöhe</translation>
    </message>
    <message>
        <source>L / R Balance</source>
        <translation>Balance L / R</translation>
    </message>
    <message>
        <source>Masking sounds for the night</source>
        <translation>Maskierende Klänge für die Nacht</translation>
    </message>
    <message>
        <source>Alarm Confi&amp;g</source>
        <translation>Wecker ein&amp;richten</translation>
    </message>
    <message>
        <source>Alarm O&amp;n</source>
        <translation>Wec&amp;ker an</translation>
    </message>
    <message>
        <source>Alarm O&amp;ff</source>
        <translation>&amp;Wecker aus</translation>
    </message>
    <message>
        <source>E&amp;qualizer</source>
        <translation>E&amp;qualizer</translation>
    </message>
    <message>
        <source>Set the alarm clock and the sleep timer</source>
        <translation>Wecker und Einschlaftimer einstellen</translation>
    </message>
    <message>
        <source>Arm the alarm for the set time</source>
        <translation>Den Wecker für die eingestellte Zeit scharf schalten</translation>
    </message>
    <message>
        <source>Disarm the alarm and silence it</source>
        <translation>Den Wecker ausschalten und verstummen lassen</translation>
    </message>
    <message>
        <source>Shape the whole sound with the ten-band equaliser</source>
        <translation>Den ganzen Klang mit dem Zehnband-Equalizer formen</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>Co&amp;lors</source>
        <translation>Far&amp;ben</translation>
    </message>
    <message>
        <source>The colors of the player&apos;s windows</source>
        <translation>Die Farben der Fenster</translation>
    </message>
    <message>
        <source>&amp;Record</source>
        <translation>Au&amp;fnehmen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Tra&amp;y</source>
        <translation>&amp;Infobereich</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Pitch &amp;Match</source>
        <translation>Tonhöhe fi&amp;nden</translation>
    </message>
    <message>
        <source>Find the pitch of your tinnitus</source>
        <translation>Die Tonhöhe Ihres Tinnitus finden</translation>
    </message>
    <message>
        <source>No&amp;ise</source>
        <translation>Rau&amp;schen</translation>
    </message>
    <message>
        <source>Nat&amp;ure</source>
        <translation>N&amp;atur</translation>
    </message>
    <message>
        <source>&amp;Machines</source>
        <translation>&amp;Maschinen</translation>
    </message>
    <message>
        <source>Hous&amp;ehold</source>
        <translation>Ha&amp;ushalt</translation>
    </message>
    <message>
        <source>Sounds:</source>
        <translation>Klänge:</translation>
    </message>
    <message>
        <source>&amp;Stop all</source>
        <translation>All&amp;e aus</translation>
    </message>
    <message>
        <source>Switch off every sound on every page</source>
        <translation>Alle Klänge auf allen Seiten ausschalten</translation>
    </message>
    <message>
        <source>Master volume</source>
        <translation>Gesamtlautstärke</translation>
    </message>
    <message>
        <source>%1 pitch</source>
        <translation>%1: Tonhöhe</translation>
    </message>
    <message>
        <source>%1 balance</source>
        <translation>%1: Balance</translation>
    </message>
    <message>
        <source>%1 volume</source>
        <translation>%1: Lautstärke</translation>
    </message>
    <message>
        <source>Frequency Not Available</source>
        <translation>Tonhöhe nicht verfügbar</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>S&amp;topp</translation>
    </message>
    <message>
        <source>Switch off every sound of this page</source>
        <translation>Alle Klänge dieser Seite ausschalten</translation>
    </message>
    <message>
        <source>Master</source>
        <translation>Gesamt</translation>
    </message>
    <message>
        <source>System</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Master volume of every sound</source>
        <translation>Gesamtlautstärke aller Klänge</translation>
    </message>
    <message>
        <source>The computer&apos;s own output volume</source>
        <translation>Die Ausgabelautstärke des Computers</translation>
    </message>
    <message>
        <source>Presets</source>
        <translation>Voreinstellungen</translation>
    </message>
    <message>
        <source>Sa&amp;ve</source>
        <translation>S&amp;peichern</translation>
    </message>
    <message>
        <source>Loa&amp;d</source>
        <translation>&amp;Laden</translation>
    </message>
    <message>
        <source>&amp;Previous</source>
        <translation>&amp;Vorherige</translation>
    </message>
    <message>
        <source>&amp;Assign</source>
        <translation>&amp;Zuweisen</translation>
    </message>
    <message>
        <source>Save the mix as a preset file</source>
        <translation>Die Mischung als Voreinstellungsdatei speichern</translation>
    </message>
    <message>
        <source>Open a preset file</source>
        <translation>Eine Voreinstellungsdatei öffnen</translation>
    </message>
    <message>
        <source>The mix that was playing when the player last closed</source>
        <translation>Die Mischung, die beim letzten Beenden lief</translation>
    </message>
    <message>
        <source>Put a preset file on one of the ten quick buttons</source>
        <translation>Eine Voreinstellungsdatei auf eine der zehn Schnelltasten legen</translation>
    </message>
    <message>
        <source>Quick presets</source>
        <translation>Schnellwahl</translation>
    </message>
    <message>
        <source>Quick preset %1</source>
        <translation>Schnellwahl %1</translation>
    </message>
    <message>
        <source>Every volume of this page to 0</source>
        <translation>Alle Lautstärken dieser Seite auf 0</translation>
    </message>
    <message>
        <source>Every volume of this page 15 lower</source>
        <translation>Alle Lautstärken dieser Seite 15 leiser</translation>
    </message>
    <message>
        <source>Every volume of this page 15 higher</source>
        <translation>Alle Lautstärken dieser Seite 15 lauter</translation>
    </message>
    <message>
        <source>Every volume of this page to full</source>
        <translation>Alle Lautstärken dieser Seite auf voll</translation>
    </message>
    <message>
        <source>Every frequency of this page to the lowest</source>
        <translation>Alle Tonhöhen dieser Seite auf die tiefste</translation>
    </message>
    <message>
        <source>Every frequency of this page 1500 Hz lower</source>
        <translation>Alle Tonhöhen dieser Seite 1500 Hz tiefer</translation>
    </message>
    <message>
        <source>Every frequency of this page 1500 Hz higher</source>
        <translation>Alle Tonhöhen dieser Seite 1500 Hz höher</translation>
    </message>
    <message>
        <source>Every frequency of this page to the highest</source>
        <translation>Alle Tonhöhen dieser Seite auf die höchste</translation>
    </message>
    <message>
        <source>Every balance of this page to the centre</source>
        <translation>Alle Balancen dieser Seite in die Mitte</translation>
    </message>
    <message>
        <source>My Sounds</source>
        <translation>Meine Klänge</translation>
    </message>
    <message>
        <source>Your own sounds and music</source>
        <translation>Ihre eigenen Klänge und Ihre Musik</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::MySoundsPage</name>
    <message>
        <source>Sound files (*.wav *.flac *.ogg *.oga *.opus *.mp3 *.aif *.aiff)|*.wav;*.flac;*.ogg;*.oga;*.opus;*.mp3;*.aif;*.aiff</source>
        <translation>Klangdateien (*.wav *.flac *.ogg *.oga *.opus *.mp3 *.aif *.aiff)|*.wav;*.flac;*.ogg;*.oga;*.opus;*.mp3;*.aif;*.aiff</translation>
    </message>
    <message>
        <source>Your own sounds play here beside the built-in ones: a recording of your fan, the rain on your roof, or your own music, through the notch when it is on. Add a sound file, or a folder of music that plays as a playlist.</source>
        <translation>Hier spielen Ihre eigenen Klänge neben den mitgelieferten: eine Aufnahme Ihres Ventilators, der Regen auf Ihrem Dach oder Ihre eigene Musik, durch die Kerbe, wenn sie eingeschaltet ist. Fügen Sie eine Klangdatei hinzu oder einen Ordner mit Musik, der als Wiedergabeliste spielt.</translation>
    </message>
    <message>
        <source>Add Sound…</source>
        <translation>Klan&amp;g hinzufügen…</translation>
    </message>
    <message>
        <source>Copy a sound file of your own into the player (WAV, FLAC, Ogg, Opus, MP3)</source>
        <translation>Eine eigene Klangdatei in den Player kopieren (WAV, FLAC, Ogg, Opus, MP3)</translation>
    </message>
    <message>
        <source>Add Folder…</source>
        <translation>Or&amp;dner hinzufügen…</translation>
    </message>
    <message>
        <source>Play the sound files of a folder one after another, without end</source>
        <translation>Die Klangdateien eines Ordners nacheinander spielen, ohne Ende</translation>
    </message>
    <message>
        <source>My sound %1</source>
        <translation>Eigener Klang %1</translation>
    </message>
    <message>
        <source>My sound %1: rename, remove</source>
        <translation>Eigener Klang %1: umbenennen, entfernen</translation>
    </message>
    <message>
        <source>My sound %1 volume</source>
        <translation>Eigener Klang %1 Lautstärke</translation>
    </message>
    <message>
        <source>My sound %1 pitch</source>
        <translation>Eigener Klang %1 Tonhöhe</translation>
    </message>
    <message>
        <source>My sound %1 balance</source>
        <translation>Eigener Klang %1 Balance</translation>
    </message>
    <message>
        <source>%1: the folder %2, %3</source>
        <translation>%1: der Ordner %2, %3</translation>
    </message>
    <message>
        <source>shuffled</source>
        <translation>gemischt</translation>
    </message>
    <message>
        <source>in order</source>
        <translation>der Reihe nach</translation>
    </message>
    <message>
        <source>%1 volume</source>
        <translation>%1 Lautstärke</translation>
    </message>
    <message>
        <source>%1 pitch</source>
        <translation>%1 Tonhöhe</translation>
    </message>
    <message>
        <source>%1 balance</source>
        <translation>%1 Balance</translation>
    </message>
    <message>
        <source>%1: rename, remove</source>
        <translation>%1: umbenennen, entfernen</translation>
    </message>
    <message>
        <source>Rename or remove %1</source>
        <translation>%1 umbenennen oder entfernen</translation>
    </message>
    <message>
        <source>You have %1 sounds of your own, the most there can be</source>
        <translation>Sie haben %1 eigene Klänge, mehr geht nicht</translation>
    </message>
    <message>
        <source>You already have %1 sounds of your own. Remove one of them before you add another.</source>
        <translation>Sie haben schon %1 eigene Klänge. Entfernen Sie einen davon, bevor Sie einen weiteren hinzufügen.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be found.</source>
        <translation>„%1“ ist nicht zu finden.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an ordinary file (it may be a pipe or a device), so it cannot be added.</source>
        <translation>„%1“ ist keine gewöhnliche Datei (vielleicht eine Pipe oder ein Gerät) und kann nicht hinzugefügt werden.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a sound file the player can read, or it is damaged.</source>
        <translation>„%1“ ist keine Klangdatei, die der Player lesen kann, oder sie ist beschädigt.</translation>
    </message>
    <message>
        <source>There is not enough free space in %1 to copy &quot;%2&quot;. Free some space and try again.</source>
        <translation>In %1 ist nicht genug Platz frei, um „%2“ zu kopieren. Schaffen Sie Platz und versuchen Sie es noch einmal.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be copied into %2: %3</source>
        <translation>„%1“ konnte nicht nach %2 kopiert werden: %3</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; cannot be read: %2</source>
        <translation>Der Ordner „%1“ kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; holds no sound files the player can read.</source>
        <translation>Der Ordner „%1“ enthält keine Klangdateien, die der Player lesen kann.</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; is already one of your sounds.</source>
        <translation>Der Ordner „%1“ ist schon einer Ihrer Klänge.</translation>
    </message>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
    <message>
        <source>Add a Sound</source>
        <translation>Einen Klang hinzufügen</translation>
    </message>
    <message>
        <source>Add a Folder of Music</source>
        <translation>Einen Ordner mit Musik hinzufügen</translation>
    </message>
    <message>
        <source>Adding &quot;%1&quot; was cancelled; nothing of it was kept.</source>
        <translation>&quot;%1&quot; wurde nicht hinzugefügt: abgebrochen, nichts davon wurde behalten.</translation>
    </message>
    <message>
        <source>Another sound is being added. Try again when it is done.</source>
        <translation>Gerade wird ein anderer Klang hinzugefügt. Versuchen Sie es wieder, wenn er fertig ist.</translation>
    </message>
    <message>
        <source>Add Sound</source>
        <translation>Klang hinzufügen</translation>
    </message>
    <message>
        <source>Copying &quot;%1&quot; into the player…</source>
        <translation>&quot;%1&quot; wird in den Player kopiert…</translation>
    </message>
    <message>
        <source>Reading the folder &quot;%1&quot;…</source>
        <translation>Der Ordner &quot;%1&quot; wird gelesen…</translation>
    </message>
    <message>
        <source>Adding %1</source>
        <translation>%1 wird hinzugefügt</translation>
    </message>
    <message>
        <source>&amp;Rename…</source>
        <translation>&amp;Umbenennen…</translation>
    </message>
    <message>
        <source>&amp;Shuffle</source>
        <translation>&amp;Mischen</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Rename Sound</source>
        <translation>Klang umbenennen</translation>
    </message>
    <message>
        <source>New name for &quot;%1&quot;:</source>
        <translation>Neuer Name für „%1“:</translation>
    </message>
    <message>
        <source>A sound needs a name; &quot;%1&quot; keeps its own.</source>
        <translation>Ein Klang braucht einen Namen; „%1“ behält seinen.</translation>
    </message>
    <message>
        <source>Remove &quot;%1&quot;? Its copy in the player&apos;s folder is deleted; your own file stays where it is.</source>
        <translation>„%1“ entfernen? Seine Kopie im Ordner des Players wird gelöscht; Ihre eigene Datei bleibt, wo sie ist.</translation>
    </message>
    <message>
        <source>Remove &quot;%1&quot;? The folder itself and its music stay where they are.</source>
        <translation>„%1“ entfernen? Der Ordner selbst und seine Musik bleiben, wo sie sind.</translation>
    </message>
    <message>
        <source>The list of your sounds could not be saved in %1: %2</source>
        <translation>Die Liste Ihrer Klänge konnte nicht in %1 gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::NotchChart</name>
    <message>
        <source>Minutes of notched listening</source>
        <translation>Minuten Hören mit Kerbe</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 min</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>Today: %1 · the %2 days before: %3</source>
        <translation>Heute: %1 · die %2 Tage davor: %3</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::OptionsWindow</name>
    <message>
        <source>Program Options</source>
        <translation>Programmoptionen</translation>
    </message>
    <message>
        <source>&amp;General Options</source>
        <translation>&amp;Allgemein</translation>
    </message>
    <message>
        <source>So&amp;undcard</source>
        <translation>&amp;Soundkarte</translation>
    </message>
    <message>
        <source>Startup Position</source>
        <translation>Beim Start</translation>
    </message>
    <message>
        <source>&amp;Fully Displayed</source>
        <translation>&amp;Ganz anzeigen</translation>
    </message>
    <message>
        <source>&amp;Taskbar</source>
        <translation>&amp;Taskleiste</translation>
    </message>
    <message>
        <source>System Tra&amp;y</source>
        <translation>Info&amp;bereich</translation>
    </message>
    <message>
        <source>&amp;Launch program automatically on boot</source>
        <translation>&amp;Programm bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>&amp;Resume the last mix at start-up</source>
        <translation>Beim Start die letzte &amp;Mischung fortsetzen</translation>
    </message>
    <message>
        <source>&amp;Endless sounds (never repeat)</source>
        <translation>&amp;Endlose Klänge (ohne Wiederholung)</translation>
    </message>
    <message>
        <source>The built-in sounds are made as they play and never repeat; unticked, each plays its file as a loop. Applies to sounds switched on from now on.</source>
        <translation>Die eingebauten Klänge entstehen beim Abspielen und wiederholen sich nie; ohne Haken spielt jeder seine Datei als Schleife. Gilt für Klänge, die ab jetzt eingeschaltet werden.</translation>
    </message>
    <message>
        <source>C&amp;ontact Us</source>
        <translation>&amp;Kontakt</translation>
    </message>
    <message>
        <source>Write to us by e-mail</source>
        <translation>Schreiben Sie uns eine E-Mail</translation>
    </message>
    <message>
        <source>Currently Used Soundcard: </source>
        <translation>Verwendete Soundkarte: </translation>
    </message>
    <message>
        <source>Sound card</source>
        <translation>Soundkarte</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>&amp;Wählen</translation>
    </message>
    <message>
        <source>Use this sound card from the next start on</source>
        <translation>Diese Soundkarte ab dem nächsten Start verwenden</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
    <message>
        <source>Please restart the application for the change to take effect.</source>
        <translation>Bitte starten Sie das Programm neu, damit die Änderung wirksam wird.</translation>
    </message>
    <message>
        <source>Select preferred soundcard...</source>
        <translation>Bevorzugte Soundkarte wählen...</translation>
    </message>
    <message>
        <source>Current Soundcard: %1</source>
        <translation>Aktuelle Soundkarte: %1</translation>
    </message>
    <message>
        <source>Sonaveil cannot start automatically from the folder it is in: the name of that folder is not plain text, so the desktop&apos;s start-up entry cannot name the program. Move the Sonaveil folder to a folder with a plain name to use this option.</source>
        <translation>Sonaveil kann nicht automatisch aus dem Ordner starten, in dem es liegt: Der Name dieses Ordners ist kein reiner Text, daher kann der Starteintrag des Desktops das Programm nicht benennen. Verschieben Sie den Sonaveil-Ordner in einen Ordner mit einfachem Namen, um diese Option zu nutzen.</translation>
    </message>
    <message>
        <source>The start-up entry could not be written: neither the desktop&apos;s start-up folder for every user nor your own (~/.config/autostart) can be written to.</source>
        <translation>Der Starteintrag konnte nicht geschrieben werden: Weder der Startordner des Desktops für alle Benutzer noch Ihr eigener (~/.config/autostart) ist beschreibbar.</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::PitchMatchWindow</name>
    <message>
        <source>Pitch Match</source>
        <translation>Tonhöhe finden</translation>
    </message>
    <message>
        <source>Sound:</source>
        <translation>Klang:</translation>
    </message>
    <message>
        <source>&amp;Tone</source>
        <translation>&amp;Ton</translation>
    </message>
    <message>
        <source>A pure tone, for ringing or whistling tinnitus</source>
        <translation>Ein reiner Ton, für klingelnden oder pfeifenden Tinnitus</translation>
    </message>
    <message>
        <source>&amp;Narrow band</source>
        <translation>&amp;Schmalband</translation>
    </message>
    <message>
        <source>A band of noise a third of an octave wide, for hissing tinnitus</source>
        <translation>Ein Rauschband von einer Terz Breite, für zischenden Tinnitus</translation>
    </message>
    <message>
        <source>Pitch:</source>
        <translation>Tonhöhe:</translation>
    </message>
    <message>
        <source>Down a third of an octave (Shift+Left)</source>
        <translation>Eine Terz tiefer (Umschalt+Links)</translation>
    </message>
    <message>
        <source>Down a little, 1/24 octave (Left)</source>
        <translation>Etwas tiefer, 1/24 Oktave (Links)</translation>
    </message>
    <message>
        <source>Up a little, 1/24 octave (Right)</source>
        <translation>Etwas höher, 1/24 Oktave (Rechts)</translation>
    </message>
    <message>
        <source>Up a third of an octave (Shift+Right)</source>
        <translation>Eine Terz höher (Umschalt+Rechts)</translation>
    </message>
    <message>
        <source>Level:</source>
        <translation>Pegel:</translation>
    </message>
    <message>
        <source>The sound&apos;s level; start low and raise it only until you hear it clearly</source>
        <translation>Der Pegel des Klangs; beginnen Sie leise und erhöhen Sie nur, bis Sie ihn deutlich hören</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>&amp;Abspielen</translation>
    </message>
    <message>
        <source>Play or stop the sound (Space)</source>
        <translation>Den Klang abspielen oder anhalten (Leertaste)</translation>
    </message>
    <message>
        <source>Octave &amp;check</source>
        <translation>&amp;Oktavprobe</translation>
    </message>
    <message>
        <source>&amp;Same</source>
        <translation>&amp;Gleich</translation>
    </message>
    <message>
        <source>&amp;Lower</source>
        <translation>Ti&amp;efer</translation>
    </message>
    <message>
        <source>&amp;Higher</source>
        <translation>&amp;Höher</translation>
    </message>
    <message>
        <source>Sa&amp;ve</source>
        <translation>Spei&amp;chern</translation>
    </message>
    <message>
        <source>Keep this pitch and kind in &quot;tinnitus.ini&quot;; the notch is centred on it</source>
        <translation>Diese Tonhöhe und Art in „tinnitus.ini“ speichern; die Kerbe wird darauf zentriert</translation>
    </message>
    <message>
        <source>H&amp;elp</source>
        <translation>H&amp;ilfe</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>Sch&amp;ließen</translation>
    </message>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
    <message>
        <source>Saved: %1, %2</source>
        <translation>Gespeichert: %1, %2</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>A&amp;nhalten</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>%1 kHz</source>
        <translation>%1 kHz</translation>
    </message>
    <message>
        <source>Play a quiet sound and move it up or down until it sounds most like your tinnitus. Keep the level low: just audible is enough.</source>
        <translation>Spielen Sie einen leisen Klang und verschieben Sie ihn nach oben oder unten, bis er Ihrem Tinnitus am ähnlichsten klingt. Halten Sie den Pegel niedrig: gerade hörbar genügt.</translation>
    </message>
    <message>
        <source>Octave check: hear your match, then an octave below and an octave above. Pick the one that is closest to your tinnitus.</source>
        <translation>Oktavprobe: Hören Sie Ihre Tonhöhe, dann eine Oktave tiefer und eine Oktave höher. Wählen Sie die, die Ihrem Tinnitus am nächsten kommt.</translation>
    </message>
    <message>
        <source>The match could not be saved in &quot;tinnitus.ini&quot;: %1</source>
        <translation>Die Tonhöhe konnte nicht in „tinnitus.ini“ gespeichert werden: %1</translation>
    </message>
    <message>
        <source>narrow band</source>
        <translation>schmales Band</translation>
    </message>
    <message>
        <source>tone</source>
        <translation>Ton</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Listening through the notch, day by day</source>
        <translation>Hören durch die Kerbe, Tag für Tag</translation>
    </message>
    <message>
        <source>&amp;My Tinnitus…</source>
        <translation>&amp;Mein Tinnitus…</translation>
    </message>
    <message>
        <source>Hearing check, loudness, masking level, diary and plots</source>
        <translation>Hörtest, Lautheit, Maskierungspegel, Tagebuch und Diagramme</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::Player</name>
    <message>
        <source>Your own sounds in this mix could not be kept beside &quot;%1&quot;: %2</source>
        <translation>Ihre eigenen Klänge in diesem Mix konnten nicht neben „%1“ gespeichert werden: %2</translation>
    </message>
    <message>
        <source>The file that keeps your own sounds beside &quot;%1&quot; cannot be read; the rest of the preset was loaded.</source>
        <translation>Die Datei neben „%1“, die Ihre eigenen Klänge festhält, kann nicht gelesen werden; der Rest der Voreinstellung wurde geladen.</translation>
    </message>
    <message>
        <source>This preset plays your own sound %1, which is no longer there. Everything else of the preset was loaded.</source>
        <translation>Diese Voreinstellung spielt Ihren eigenen Klang %1, den es nicht mehr gibt. Alles andere der Voreinstellung wurde geladen.</translation>
    </message>
    <message>
        <source>This preset plays your own sounds %1, which are no longer there. Everything else of the preset was loaded.</source>
        <translation>Diese Voreinstellung spielt Ihre eigenen Klänge %1, die es nicht mehr gibt. Alles andere der Voreinstellung wurde geladen.</translation>
    </message>
    <message>
        <source>Your sound &quot;%1&quot; has gone silent: its file or folder can no longer be read (moved, deleted or damaged).</source>
        <translation>Ihr Klang „%1“ ist verstummt: seine Datei oder sein Ordner kann nicht mehr gelesen werden (verschoben, gelöscht oder beschädigt).</translation>
    </message>
    <message>
        <source>My &amp;Tinnitus…</source>
        <translation>Mein &amp;Tinnitus…</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::PresetActions</name>
    <message>
        <source>Save Preset</source>
        <translation>Voreinstellung speichern</translation>
    </message>
    <message>
        <source>Load Preset</source>
        <translation>Voreinstellung laden</translation>
    </message>
    <message>
        <source>Select the Preset File</source>
        <translation>Die Voreinstellungsdatei wählen</translation>
    </message>
    <message>
        <source>The quick preset could not be stored in &quot;preset.txt&quot;; it is kept until the player closes.</source>
        <translation>Die Schnellwahl konnte nicht in „preset.txt“ gespeichert werden; sie bleibt erhalten, bis der Player beendet wird.</translation>
    </message>
    <message>
        <source>Sonaveil Files (*.svp)|*.svp</source>
        <translation>Sonaveil-Dateien (*.svp)|*.svp</translation>
    </message>
    <message>
        <source>Sonaveil Files (*.svp)| *.svp</source>
        <translation>Sonaveil-Dateien (*.svp)| *.svp</translation>
    </message>
    <message>
        <source>Please Enter a Preset Number between 1 and 10 both inclusive </source>
        <translation>Bitte geben Sie eine Schnellwahlnummer von 1 bis einschließlich 10 ein </translation>
    </message>
    <message>
        <source>There was a problem opening this file!</source>
        <translation>Beim Öffnen dieser Datei ist ein Problem aufgetreten!</translation>
    </message>
    <message>
        <source>There was a problem saving this file!</source>
        <translation>Beim Speichern dieser Datei ist ein Problem aufgetreten!</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::ProfileCharts</name>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>%1 kHz</source>
        <translation>%1 kHz</translation>
    </message>
    <message>
        <source>Plots</source>
        <translation>Diagramme</translation>
    </message>
    <message>
        <source>Audiogram</source>
        <translation>Audiogramm</translation>
    </message>
    <message>
        <source>Measures over time</source>
        <translation>Messungen im Verlauf</translation>
    </message>
    <message>
        <source>Diary and nights</source>
        <translation>Tagebuch und Nächte</translation>
    </message>
    <message>
        <source>What helps</source>
        <translation>Was hilft</translation>
    </message>
    <message>
        <source>The same figures are in a table: tick &quot;Show the figures as tables&quot;.</source>
        <translation>Dieselben Werte stehen in einer Tabelle: „Werte als Tabellen zeigen“ ankreuzen.</translation>
    </message>
    <message>
        <source>%1 as a table</source>
        <translation>%1 als Tabelle</translation>
    </message>
    <message>
        <source>Show the figures as ta&amp;bles</source>
        <translation>Werte als Tabe&amp;llen zeigen</translation>
    </message>
    <message>
        <source>Tables hold the same figures as the plots, for reading them aloud or copying them</source>
        <translation>Die Tabellen enthalten dieselben Werte wie die Diagramme, zum Vorlesen oder Kopieren</translation>
    </message>
    <message>
        <source>Hearing threshold, dB of full scale (lower is better hearing)</source>
        <translation>Hörschwelle in dB unter Vollaussteuerung (tiefer heißt besser hören)</translation>
    </message>
    <message>
        <source>Pitch, Hz</source>
        <translation>Tonhöhe, Hz</translation>
    </message>
    <message>
        <source>dB</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>Left ear</source>
        <translation>Linkes Ohr</translation>
    </message>
    <message>
        <source>Right ear</source>
        <translation>Rechtes Ohr</translation>
    </message>
    <message>
        <source>Tinnitus pitch %1</source>
        <translation>Tinnitus-Tonhöhe %1</translation>
    </message>
    <message>
        <source>Tinnitus pitch</source>
        <translation>Tinnitus-Tonhöhe</translation>
    </message>
    <message>
        <source>Pitch</source>
        <translation>Tonhöhe</translation>
    </message>
    <message>
        <source>no value</source>
        <translation>kein Wert</translation>
    </message>
    <message>
        <source>Left ear, dB</source>
        <translation>Linkes Ohr, dB</translation>
    </message>
    <message>
        <source>Right ear, dB</source>
        <translation>Rechtes Ohr, dB</translation>
    </message>
    <message>
        <source>Loudness match, dB above threshold</source>
        <translation>Lautheitsabgleich, dB über der Schwelle</translation>
    </message>
    <message>
        <source>Minimum masking level, dB above threshold</source>
        <translation>Minimaler Maskierungspegel, dB über der Schwelle</translation>
    </message>
    <message>
        <source>Residual inhibition, seconds</source>
        <translation>Residuale Hemmung, Sekunden</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>Sekunden</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Measure</source>
        <translation>Messung</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>Diary ratings (0 to 10) with the nights beneath</source>
        <translation>Tagebuchwerte (0 bis 10), darunter die Nächte</translation>
    </message>
    <message>
        <source>Loudness</source>
        <translation>Lautheit</translation>
    </message>
    <message>
        <source>Bother</source>
        <translation>Belastung</translation>
    </message>
    <message>
        <source>Sleep</source>
        <translation>Schlaf</translation>
    </message>
    <message>
        <source>Morning</source>
        <translation>Morgen</translation>
    </message>
    <message>
        <source>Evening</source>
        <translation>Abend</translation>
    </message>
    <message>
        <source>Night until %1</source>
        <translation>Nacht bis %1</translation>
    </message>
    <message>
        <source>Entry</source>
        <translation>Eintrag</translation>
    </message>
    <message>
        <source>Note or sounds</source>
        <translation>Notiz oder Klänge</translation>
    </message>
    <message>
        <source>Mean morning ratings after nights with each mix or sound</source>
        <translation>Mittlere Morgenwerte nach Nächten mit jedem Mix oder Klang</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%2, %n night(s))</source>
        <translation>
            <numerusform>%1 (%2, %n Nacht)</numerusform>
            <numerusform>%1 (%2, %n Nächte)</numerusform>
        </translation>
    </message>
    <message>
        <source>sound</source>
        <translation>Klang</translation>
    </message>
    <message>
        <source>mix</source>
        <translation>Mix</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Klang</translation>
    </message>
    <message>
        <source>Mix</source>
        <translation>Mix</translation>
    </message>
    <message>
        <source>No nights with a morning entry yet</source>
        <translation>Noch keine Nacht mit Morgeneintrag</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Nights</source>
        <translation>Nächte</translation>
    </message>
    <message>
        <source>Mean loudness</source>
        <translation>Mittlere Lautheit</translation>
    </message>
    <message>
        <source>Mean bother</source>
        <translation>Mittlere Belastung</translation>
    </message>
    <message>
        <source>Mean sleep</source>
        <translation>Mittlerer Schlaf</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::ProfilePlots</name>
    <message>
        <source>the program&apos;s libraries were not found</source>
        <translation>die Bibliotheken des Programms wurden nicht gefunden</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::TinnitusProfile</name>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
    <message>
        <source>The tinnitus diary could not be opened (%1): %2. The player works without it; nothing is written to the diary this session.</source>
        <translation>Das Tinnitus-Tagebuch ließ sich nicht öffnen (%1): %2. Der Player arbeitet ohne es; in dieser Sitzung wird nichts ins Tagebuch geschrieben.</translation>
    </message>
    <message>
        <source>How is your tinnitus this morning, and how did you sleep? The diary takes a few seconds.</source>
        <translation>Wie ist Ihr Tinnitus heute Morgen, und wie haben Sie geschlafen? Das Tagebuch dauert nur ein paar Sekunden.</translation>
    </message>
    <message>
        <source>How was your tinnitus today? The diary takes a few seconds.</source>
        <translation>Wie war Ihr Tinnitus heute? Das Tagebuch dauert nur ein paar Sekunden.</translation>
    </message>
    <message>
        <source>Open the diary</source>
        <translation>Tagebuch öffnen</translation>
    </message>
    <message>
        <source>The masking sound could not be kept: %1</source>
        <translation>Der Maskierungsklang ließ sich nicht behalten: %1</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::TinnitusWindow</name>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>%1 kHz</source>
        <translation>%1 kHz</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>left ear</source>
        <translation>linkes Ohr</translation>
    </message>
    <message>
        <source>right ear</source>
        <translation>rechtes Ohr</translation>
    </message>
    <message>
        <source>both ears</source>
        <translation>beide Ohren</translation>
    </message>
    <message>
        <source>My Tinnitus</source>
        <translation>Mein Tinnitus</translation>
    </message>
    <message>
        <source>These measures and this diary help you follow your own tinnitus; they are self-help, not a diagnosis.</source>
        <translation>Diese Messungen und dieses Tagebuch helfen Ihnen, Ihren Tinnitus zu verfolgen; sie sind Selbsthilfe, keine Diagnose.</translation>
    </message>
    <message>
        <source>&amp;Measures</source>
        <translation>&amp;Messungen</translation>
    </message>
    <message>
        <source>&amp;Diary</source>
        <translation>&amp;Tagebuch</translation>
    </message>
    <message>
        <source>&amp;Plots</source>
        <translation>&amp;Diagramme</translation>
    </message>
    <message>
        <source>&amp;Report</source>
        <translation>&amp;Bericht</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
    <message>
        <source>The result could not be kept in the diary: %1</source>
        <translation>Das Ergebnis ließ sich nicht im Tagebuch speichern: %1</translation>
    </message>
    <message>
        <source>Pitch ma&amp;tch…</source>
        <translation>Tonhöhen&amp;abgleich…</translation>
    </message>
    <message>
        <source>Find the pitch of your tinnitus first; the other measures use it</source>
        <translation>Finden Sie zuerst die Tonhöhe Ihres Tinnitus; die anderen Messungen brauchen sie</translation>
    </message>
    <message>
        <source>Start a measure</source>
        <translation>Eine Messung beginnen</translation>
    </message>
    <message>
        <source>&amp;Hearing check</source>
        <translation>&amp;Hörtest</translation>
    </message>
    <message>
        <source>With headphones: press &quot;I hear it&quot; whenever you hear a tone, in each ear, at eleven pitches.</source>
        <translation>Mit Kopfhörern: Drücken Sie „Ich höre ihn“, sobald Sie einen Ton hören, auf jedem Ohr, bei elf Tonhöhen.</translation>
    </message>
    <message>
        <source>&amp;Loudness match</source>
        <translation>&amp;Lautheitsabgleich</translation>
    </message>
    <message>
        <source>Make a tone at your tinnitus pitch as loud as your tinnitus.</source>
        <translation>Einen Ton in Ihrer Tinnitus-Tonhöhe so laut wie Ihren Tinnitus einstellen.</translation>
    </message>
    <message>
        <source>Masking le&amp;vel</source>
        <translation>Maskierungs&amp;pegel</translation>
    </message>
    <message>
        <source>Raise a noise in 1 dB steps until it just covers your tinnitus.</source>
        <translation>Ein Rauschen in 1-dB-Schritten anheben, bis es Ihren Tinnitus gerade überdeckt.</translation>
    </message>
    <message>
        <source>Residual &amp;inhibition</source>
        <translation>&amp;Residuale Hemmung</translation>
    </message>
    <message>
        <source>A minute of that noise 10 dB louder, then tell how long your tinnitus stays quieter.</source>
        <translation>Eine Minute dieses Rauschen 10 dB lauter, dann sagen, wie lange Ihr Tinnitus leiser bleibt.</translation>
    </message>
    <message>
        <source>Noise for the masking level</source>
        <translation>Rauschen für den Maskierungspegel</translation>
    </message>
    <message>
        <source>Pink noise</source>
        <translation>Rosa Rauschen</translation>
    </message>
    <message>
        <source>White noise</source>
        <translation>Weißes Rauschen</translation>
    </message>
    <message>
        <source>Band around the pitch</source>
        <translation>Band um die Tonhöhe</translation>
    </message>
    <message>
        <source>Now</source>
        <translation>Jetzt</translation>
    </message>
    <message>
        <source>Progress of the hearing check</source>
        <translation>Fortschritt des Hörtests</translation>
    </message>
    <message>
        <source>I hear it (Space)</source>
        <translation>Ich höre ihn (Leertaste)</translation>
    </message>
    <message>
        <source>Softer (Down)</source>
        <translation>Leiser (Ab)</translation>
    </message>
    <message>
        <source>Louder (Up)</source>
        <translation>Lauter (Auf)</translation>
    </message>
    <message>
        <source>&amp;Accept</source>
        <translation>&amp;Übernehmen</translation>
    </message>
    <message>
        <source>Tr&amp;y again</source>
        <translation>&amp;Nochmals</translation>
    </message>
    <message>
        <source>S&amp;kip this pitch</source>
        <translation>Diese Tonhöhe übersprin&amp;gen</translation>
    </message>
    <message>
        <source>Back: it had gone &amp;fully</source>
        <translation>Zurück: er war ganz &amp;weg</translation>
    </message>
    <message>
        <source>Back: it had gone p&amp;artly</source>
        <translation>Zurück: er war te&amp;ilweise weg</translation>
    </message>
    <message>
        <source>It did &amp;not change</source>
        <translation>Er hat sich &amp;nicht verändert</translation>
    </message>
    <message>
        <source>&amp;Stop (Esc)</source>
        <translation>St&amp;opp (Esc)</translation>
    </message>
    <message>
        <source>Today&apos;s entry</source>
        <translation>Heutiger Eintrag</translation>
    </message>
    <message>
        <source>Mor&amp;ning</source>
        <translation>Mor&amp;gen</translation>
    </message>
    <message>
        <source>E&amp;vening</source>
        <translation>Abe&amp;nd</translation>
    </message>
    <message>
        <source>0 is %1, 10 is %2</source>
        <translation>0 ist %1, 10 ist %2</translation>
    </message>
    <message>
        <source>&amp;Loudness of the tinnitus:</source>
        <translation>&amp;Lautheit des Tinnitus:</translation>
    </message>
    <message>
        <source>not heard</source>
        <translation>nicht hörbar</translation>
    </message>
    <message>
        <source>as loud as can be</source>
        <translation>so laut wie möglich</translation>
    </message>
    <message>
        <source>How much it &amp;bothers:</source>
        <translation>Wie sehr er bel&amp;astet:</translation>
    </message>
    <message>
        <source>not at all</source>
        <translation>gar nicht</translation>
    </message>
    <message>
        <source>very much</source>
        <translation>sehr</translation>
    </message>
    <message>
        <source>&amp;Sleep last night:</source>
        <translation>Sc&amp;hlaf letzte Nacht:</translation>
    </message>
    <message>
        <source>very poor</source>
        <translation>sehr schlecht</translation>
    </message>
    <message>
        <source>very good</source>
        <translation>sehr gut</translation>
    </message>
    <message>
        <source>N&amp;ote:</source>
        <translation>N&amp;otiz:</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Notiz</translation>
    </message>
    <message>
        <source>Save &amp;entry</source>
        <translation>&amp;Eintrag speichern</translation>
    </message>
    <message>
        <source>Offer the diary</source>
        <translation>Tagebuch anbieten</translation>
    </message>
    <message>
        <source>When the player s&amp;tarts, if today&apos;s entry is missing</source>
        <translation>Beim Sta&amp;rt des Players, wenn der heutige Eintrag fehlt</translation>
    </message>
    <message>
        <source>Every day &amp;at</source>
        <translation>Täglich &amp;um</translation>
    </message>
    <message>
        <source>Time of the daily reminder</source>
        <translation>Uhrzeit der täglichen Erinnerung</translation>
    </message>
    <message>
        <source>For you and your audiologist</source>
        <translation>Für Sie und Ihre Hörfachperson</translation>
    </message>
    <message>
        <source>E&amp;xport CSV…</source>
        <translation>CSV e&amp;xportieren…</translation>
    </message>
    <message>
        <source>The diary, the nights and the measures as three CSV files for a spreadsheet</source>
        <translation>Tagebuch, Nächte und Messungen als drei CSV-Dateien für eine Tabellenkalkulation</translation>
    </message>
    <message>
        <source>Print a o&amp;ne-page report (PDF)…</source>
        <translation>Ei&amp;nseitigen Bericht drucken (PDF)…</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>CSV exportieren</translation>
    </message>
    <message>
        <source>CSV files (*.csv)|*.csv</source>
        <translation>CSV-Dateien (*.csv)|*.csv</translation>
    </message>
    <message>
        <source>Print a report</source>
        <translation>Bericht drucken</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)|*.pdf</source>
        <translation>PDF-Dateien (*.pdf)|*.pdf</translation>
    </message>
    <message>
        <source>Make my masking sound</source>
        <translation>Meinen Maskierungsklang machen</translation>
    </message>
    <message>
        <source>A noise shaped by the equaliser to your hearing check, at your masking level, with the notch on your pitch. Try it, then keep it as the equaliser preset &quot;My masking sound&quot;, change it in the equaliser, or discard it.</source>
        <translation>Ein Rauschen, vom Equalizer nach Ihrem Hörtest geformt, auf Ihrem Maskierungspegel, mit der Kerbe auf Ihrer Tonhöhe. Probieren Sie es aus und behalten Sie es dann als Equalizer-Voreinstellung „My masking sound“, ändern Sie es im Equalizer oder verwerfen Sie es.</translation>
    </message>
    <message>
        <source>Make my masking so&amp;und</source>
        <translation>Maskierungskl&amp;ang machen</translation>
    </message>
    <message>
        <source>&amp;Keep</source>
        <translation>Be&amp;halten</translation>
    </message>
    <message>
        <source>Chan&amp;ge…</source>
        <translation>&amp;Ändern…</translation>
    </message>
    <message>
        <source>D&amp;iscard</source>
        <translation>&amp;Verwerfen</translation>
    </message>
    <message>
        <source>Your masking sound plays now. Keep it, change it, or discard it.</source>
        <translation>Ihr Maskierungsklang spielt jetzt. Behalten, ändern oder verwerfen Sie ihn.</translation>
    </message>
    <message>
        <source>Kept as the equaliser preset &quot;My masking sound&quot;.</source>
        <translation>Als Equalizer-Voreinstellung „My masking sound“ behalten.</translation>
    </message>
    <message>
        <source>Discarded: the equaliser and the mix are as they were.</source>
        <translation>Verworfen: Equalizer und Mix sind wie vorher.</translation>
    </message>
    <message>
        <source>The entry could not be saved: %1</source>
        <translation>Der Eintrag ließ sich nicht speichern: %1</translation>
    </message>
    <message>
        <source>Morning entry saved.</source>
        <translation>Morgeneintrag gespeichert.</translation>
    </message>
    <message>
        <source>Evening entry saved.</source>
        <translation>Abendeintrag gespeichert.</translation>
    </message>
    <message>
        <source>System volume: %1 %. Use headphones, and keep this volume the same for every measure so that the results compare.</source>
        <translation>Systemlautstärke: %1 %. Benutzen Sie Kopfhörer und lassen Sie diese Lautstärke bei jeder Messung gleich, damit die Ergebnisse vergleichbar sind.</translation>
    </message>
    <message>
        <source>System volume: not known. Use headphones, and keep the volume the same for every measure so that the results compare.</source>
        <translation>Systemlautstärke: unbekannt. Benutzen Sie Kopfhörer und lassen Sie die Lautstärke bei jeder Messung gleich, damit die Ergebnisse vergleichbar sind.</translation>
    </message>
    <message>
        <source>Your tinnitus pitch: %1.</source>
        <translation>Ihre Tinnitus-Tonhöhe: %1.</translation>
    </message>
    <message>
        <source>No pitch matched yet: the loudness match and the band noise need one.</source>
        <translation>Noch keine Tonhöhe abgeglichen: Lautheitsabgleich und Bandrauschen brauchen eine.</translation>
    </message>
    <message>
        <source>Match the pitch of your tinnitus first (Pitch match…).</source>
        <translation>Gleichen Sie zuerst die Tonhöhe Ihres Tinnitus ab (Tonhöhenabgleich…).</translation>
    </message>
    <message>
        <source>The band around the pitch needs a matched pitch: use Pitch match… first, or pick a noise.</source>
        <translation>Das Band um die Tonhöhe braucht eine abgeglichene Tonhöhe: erst Tonhöhenabgleich… oder ein anderes Rauschen wählen.</translation>
    </message>
    <message>
        <source>Find your masking level first: residual inhibition plays that noise 10 dB louder.</source>
        <translation>Ermitteln Sie zuerst Ihren Maskierungspegel: die residuale Hemmung spielt dieses Rauschen 10 dB lauter.</translation>
    </message>
    <message>
        <source>No measure is running. Each one starts quietly; stop it at any time with Esc.</source>
        <translation>Keine Messung läuft. Jede beginnt leise; beenden Sie sie jederzeit mit Esc.</translation>
    </message>
    <message>
        <source>This pitch took too long to settle. Rest a moment, then try it again, or skip it.</source>
        <translation>Diese Tonhöhe hat zu lange gedauert. Ruhen Sie sich kurz aus und versuchen Sie es nochmals oder überspringen Sie sie.</translation>
    </message>
    <message>
        <source>The answers at this pitch did not agree with each other (a press with no tone, or a loud tone missed). Try it again, or skip it.</source>
        <translation>Die Antworten bei dieser Tonhöhe passten nicht zusammen (ein Druck ohne Ton oder ein lauter Ton überhört). Versuchen Sie es nochmals oder überspringen Sie sie.</translation>
    </message>
    <message>
        <source>Listening at %1, %2. Press &quot;I hear it&quot; (or Space) each time you hear a tone, however faint.</source>
        <translation>Hören bei %1, %2. Drücken Sie „Ich höre ihn“ (oder die Leertaste), sobald Sie einen Ton hören, wie leise auch immer.</translation>
    </message>
    <message>
        <source>%1 above your threshold</source>
        <translation>%1 über Ihrer Schwelle</translation>
    </message>
    <message>
        <source>Tone at %1: %2. Make it softer or louder until it is as loud as your tinnitus, then Accept.</source>
        <translation>Ton bei %1: %2. Machen Sie ihn leiser oder lauter, bis er so laut wie Ihr Tinnitus ist, dann Übernehmen.</translation>
    </message>
    <message>
        <source>Noise at %1. Raise it until it just covers your tinnitus, then Accept.</source>
        <translation>Rauschen bei %1. Heben Sie es an, bis es Ihren Tinnitus gerade überdeckt, dann Übernehmen.</translation>
    </message>
    <message>
        <source>This is as loud as the measure goes.</source>
        <translation>Lauter geht diese Messung nicht.</translation>
    </message>
    <message numerus="yes">
        <source>Noise for %n more second(s). Then listen: is your tinnitus quieter?</source>
        <translation>
            <numerusform>Rauschen noch %n Sekunde. Dann hören Sie hin: Ist Ihr Tinnitus leiser?</numerusform>
            <numerusform>Rauschen noch %n Sekunden. Dann hören Sie hin: Ist Ihr Tinnitus leiser?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The noise has stopped. When your tinnitus is back as before, say whether it had gone fully or partly. %n second(s) so far.</source>
        <translation>
            <numerusform>Das Rauschen ist aus. Wenn Ihr Tinnitus wieder wie vorher ist, sagen Sie, ob er ganz oder teilweise weg war. Bisher %n Sekunde.</numerusform>
            <numerusform>Das Rauschen ist aus. Wenn Ihr Tinnitus wieder wie vorher ist, sagen Sie, ob er ganz oder teilweise weg war. Bisher %n Sekunden.</numerusform>
        </translation>
    </message>
    <message>
        <source>Your masking sound needs a hearing check and a masking level first (Measures).</source>
        <translation>Ihr Maskierungsklang braucht zuerst einen Hörtest und einen Maskierungspegel (Messungen).</translation>
    </message>
    <message>
        <source>The CSV files could not be written: %1</source>
        <translation>Die CSV-Dateien ließen sich nicht schreiben: %1</translation>
    </message>
    <message>
        <source>Exported to %1 and the two files beside it.</source>
        <translation>Exportiert nach %1 und in die zwei Dateien daneben.</translation>
    </message>
    <message>
        <source>Tinnitus profile</source>
        <translation>Tinnitus-Profil</translation>
    </message>
    <message>
        <source>The report could not be written to %1.</source>
        <translation>Der Bericht ließ sich nicht nach %1 schreiben.</translation>
    </message>
    <message>
        <source>Matched pitch: %1</source>
        <translation>Abgeglichene Tonhöhe: %1</translation>
    </message>
    <message>
        <source>%1 loudness match at %2: %3</source>
        <translation>%1 Lautheitsabgleich bei %2: %3</translation>
    </message>
    <message>
        <source>%1 above threshold</source>
        <translation>%1 über der Schwelle</translation>
    </message>
    <message>
        <source>%1 residual inhibition: %2 s (%3)</source>
        <translation>%1 residuale Hemmung: %2 s (%3)</translation>
    </message>
    <message>
        <source>Printed %1. Levels are relative to this computer and headphones (dB of full scale); self-help, not a diagnosis.</source>
        <translation>Gedruckt am %1. Pegel beziehen sich auf diesen Computer und diese Kopfhörer (dB unter Vollaussteuerung); Selbsthilfe, keine Diagnose.</translation>
    </message>
    <message>
        <source>What helps (mean morning loudness, bother, sleep; nights)</source>
        <translation>Was hilft (mittlere Morgenwerte Lautheit, Belastung, Schlaf; Nächte)</translation>
    </message>
    <message>
        <source>Report written to %1.</source>
        <translation>Bericht nach %1 geschrieben.</translation>
    </message>
    <message>
        <source>white noise</source>
        <translation>weißes Rauschen</translation>
    </message>
    <message>
        <source>pink noise</source>
        <translation>rosa Rauschen</translation>
    </message>
    <message>
        <source>band noise</source>
        <translation>Bandrauschen</translation>
    </message>
    <message>
        <source>gone fully</source>
        <translation>ganz weg</translation>
    </message>
    <message>
        <source>gone partly</source>
        <translation>teilweise weg</translation>
    </message>
    <message>
        <source>no change</source>
        <translation>unverändert</translation>
    </message>
    <message>
        <source>%1 minimum masking level (%2): %3</source>
        <translation>%1 minimaler Maskierungspegel (%2): %3</translation>
    </message>
    <message>
        <source>The plots cannot be shown: %1</source>
        <translation>Die Diagramme können nicht angezeigt werden: %1</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::Tray</name>
    <message>
        <source>&amp;Load</source>
        <translation>&amp;Laden</translation>
    </message>
    <message>
        <source>&amp;Mute</source>
        <translation>&amp;Stumm</translation>
    </message>
    <message>
        <source>Sleep in %1 min</source>
        <translation>Einschlafen in %1 Min.</translation>
    </message>
    <message>
        <source>The sounds fade out over the last 10 minutes, then stop</source>
        <translation>Die Klänge werden in den letzten 10 Minuten leiser und verstummen dann</translation>
    </message>
    <message>
        <source>Cancel sleep</source>
        <translation>Einschlafen abbrechen</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::artwork</name>
    <message>
        <source>Masking sounds for a quiet night</source>
        <translation>Maskierende Klänge für eine ruhige Nacht</translation>
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
<context>
    <name>sonaveil::recorder::DiskGuard</name>
    <message>
        <source>Recording Stopped - The available space warning threshold has been exceeded. Please select another drive, or increase the low disk space warning threshold.<byte value="xd"/>
You selected drive %1 <byte value="xd"/>Available space on the selected drive is: %2MBs<byte value="xd"/>Disk space threshold is set at: %3MBs</source>
        <translation>Aufnahme gestoppt – die Warnschwelle für freien Speicherplatz wurde unterschritten. Bitte wählen Sie ein anderes Laufwerk oder ändern Sie die Warnschwelle.<byte value="xd"/>
Sie haben das Laufwerk %1 gewählt <byte value="xd"/>Freier Platz auf diesem Laufwerk: %2 MB <byte value="xd"/>Die Warnschwelle liegt bei: %3 MB</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>Removable</source>
        <translation>Wechselmedium</translation>
    </message>
    <message>
        <source>Fixed</source>
        <translation>Festplatte</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Netzwerk</translation>
    </message>
    <message>
        <source>CD-ROM</source>
        <translation>CD-ROM</translation>
    </message>
    <message>
        <source>RAM Disk</source>
        <translation>RAM-Disk</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::FRMMAIN</name>
    <message>
        <source>Unlimited</source>
        <translation>Unbegrenzt</translation>
    </message>
    <message>
        <source>Don&apos;t warn</source>
        <translation>Nicht warnen</translation>
    </message>
    <message>
        <source>VU Meters</source>
        <translation>Pegelanzeige</translation>
    </message>
    <message>
        <source>Oscilloscope</source>
        <translation>Oszilloskop</translation>
    </message>
    <message>
        <source>Sound Recorder</source>
        <translation>Tonaufnahme</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Aufnehmen</translation>
    </message>
    <message>
        <source>Stop recording</source>
        <translation>Aufnahme beenden</translation>
    </message>
    <message>
        <source>Stop playing</source>
        <translation>Wiedergabe beenden</translation>
    </message>
    <message>
        <source>Play the last recording</source>
        <translation>Die letzte Aufnahme abspielen</translation>
    </message>
    <message>
        <source>MP3</source>
        <translation>MP3</translation>
    </message>
    <message>
        <source>Convert a Wav to MP3</source>
        <translation>Eine WAV-Datei in MP3 umwandeln</translation>
    </message>
    <message>
        <source>Mix</source>
        <translation>Mixer</translation>
    </message>
    <message>
        <source>Open the mixer to configure recording source / level</source>
        <translation>Den Mixer öffnen, um Aufnahmequelle und Pegel einzustellen</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Laufwerk</translation>
    </message>
    <message>
        <source>View available drive space</source>
        <translation>Freien Speicherplatz ansehen</translation>
    </message>
    <message>
        <source>Dir</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Open the directory containing the last recording</source>
        <translation>Den Ordner mit der letzten Aufnahme öffnen</translation>
    </message>
    <message>
        <source>Double-click the thumb for x1.0</source>
        <translation>Doppelklick auf den Regler für x1.0</translation>
    </message>
    <message>
        <source>Playback Positioning</source>
        <translation>Wiedergabeposition</translation>
    </message>
    <message>
        <source>Recording Sensitivity</source>
        <translation>Aufnahmeempfindlichkeit</translation>
    </message>
    <message>
        <source>Output Format</source>
        <translation>Ausgabeformat</translation>
    </message>
    <message>
        <source>Driver</source>
        <translation>Treiber</translation>
    </message>
    <message>
        <source>Low disk space threshold in MB</source>
        <translation>Warnschwelle für wenig Speicherplatz in MB</translation>
    </message>
    <message>
        <source>Recording length limit in minutes</source>
        <translation>Begrenzung der Aufnahmedauer in Minuten</translation>
    </message>
    <message>
        <source>Stop on low dsk space</source>
        <translation>Stopp bei wenig Platz</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>MB</translation>
    </message>
    <message>
        <source>Limit recording length</source>
        <translation>Aufnahmedauer begrenzen</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Min.</translation>
    </message>
    <message>
        <source>Sound Editor</source>
        <translation>Klangeditor</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Ausblenden</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>Qualität</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Darstellung</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Disable Internal Rendering Engine</source>
        <translation>Interne Anzeige abschalten</translation>
    </message>
    <message>
        <source>&amp;Start VU</source>
        <translation>Pegel &amp;starten</translation>
    </message>
    <message>
        <source>Start Monitoring</source>
        <translation>Mithören starten</translation>
    </message>
    <message>
        <source>S&amp;top VU</source>
        <translation>Pegel s&amp;toppen</translation>
    </message>
    <message>
        <source>Stop Monitoring</source>
        <translation>Mithören beenden</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::Form1</name>
    <message>
        <source>Recording Help</source>
        <translation>Hilfe zur Aufnahme</translation>
    </message>
    <message>
        <source>Recording Setup Information</source>
        <translation>Hinweise zum Einrichten der Aufnahme</translation>
    </message>
    <message>
        <source>PulseAudio Setup Instructions</source>
        <translation>Anleitung für PulseAudio</translation>
    </message>
    <message>
        <source>PipeWire Setup Instructions</source>
        <translation>Anleitung für PipeWire</translation>
    </message>
    <message>
        <source>Show this form in future</source>
        <translation>Dieses Fenster künftig zeigen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>If you are unsure about how to configure the recording settings of your desktop, please click the appropriate button below</source>
        <translation>Wenn Sie nicht sicher sind, wie Sie die Aufnahmeeinstellungen Ihrer Arbeitsumgebung einrichten, klicken Sie bitte unten auf die passende Schaltfläche</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::LevelMeter</name>
    <message>
        <source>Recording level</source>
        <translation>Aufnahmepegel</translation>
    </message>
    <message>
        <source>Left %1 %, right %2 %</source>
        <translation>Links %1 %, rechts %2 %</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::Mp3Converter</name>
    <message>
        <source>The converter &quot;%1&quot; could not be started.</source>
        <translation>Der Umwandler „%1“ konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>The converter &quot;%1&quot; is missing.</source>
        <translation>Der Umwandler „%1“ fehlt.</translation>
    </message>
    <message>
        <source>The converter produced no MP3.</source>
        <translation>Der Umwandler hat keine MP3-Datei erzeugt.</translation>
    </message>
    <message>
        <source>The converter stopped unexpectedly.</source>
        <translation>Der Umwandler wurde unerwartet beendet.</translation>
    </message>
    <message>
        <source>The MP3 would replace the recording itself.</source>
        <translation>Die MP3-Datei würde die Aufnahme selbst ersetzen.</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::QtDialogs</name>
    <message>
        <source>A file name cannot contain the character &quot;. Please choose another name.</source>
        <translation>Ein Dateiname darf das Zeichen &quot; nicht enthalten. Bitte wählen Sie einen anderen Namen.</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::RecorderSession</name>
    <message>
        <source>Save Sampled Audio</source>
        <translation>Aufgenommenen Ton speichern</translation>
    </message>
    <message>
        <source>MP3 Files, recorded as WAV and converted at Stop|*.mp3;*.wav</source>
        <translation>MP3-Dateien, als WAV aufgenommen und beim Stoppen umgewandelt|*.mp3;*.wav</translation>
    </message>
    <message>
        <source>Wave Files|*.wav</source>
        <translation>WAV-Dateien|*.wav</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Recording over an existing file will append the recorded audio to the file.<byte value="xd"/>
Are you sure this is what you want to do?</source>
        <translation>Eine Aufnahme in eine vorhandene Datei hängt den aufgenommenen Ton an die Datei an.<byte value="xd"/>
Möchten Sie das wirklich?</translation>
    </message>
    <message>
        <source>The control could not start recording</source>
        <translation>Die Aufnahme konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>Please choose a wav file to convert.</source>
        <translation>Bitte wählen Sie eine WAV-Datei zum Umwandeln.</translation>
    </message>
    <message>
        <source>Wav Files (*.wav)|*.wav|Wav Files (*.*)|*.*</source>
        <translation>WAV-Dateien (*.wav)|*.wav|WAV-Dateien (*.*)|*.*</translation>
    </message>
    <message>
        <source>Please choose an existing wav file.</source>
        <translation>Bitte wählen Sie eine vorhandene WAV-Datei.</translation>
    </message>
    <message>
        <source>Please choose a filename for your Mp3.</source>
        <translation>Bitte wählen Sie einen Dateinamen für Ihre MP3-Datei.</translation>
    </message>
    <message>
        <source>Mp3 Files (*.mp3)|*.mp3|mp3 Files (*.*)|*.*</source>
        <translation>MP3-Dateien (*.mp3)|*.mp3|MP3-Dateien (*.*)|*.*</translation>
    </message>
    <message>
        <source>This will overwrite an existing Mp3. Would you like to continue?</source>
        <translation>Damit wird eine vorhandene MP3-Datei überschrieben. Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>The recording could not be converted to MP3: %1<byte value="xd"/>
The WAV file was kept: %2</source>
        <translation>Die Aufnahme konnte nicht in MP3 umgewandelt werden: %1<byte value="xd"/>
Die WAV-Datei wurde behalten: %2</translation>
    </message>
    <message>
        <source>The Mp3 could not be created: %1</source>
        <translation>Die MP3-Datei konnte nicht erstellt werden: %1</translation>
    </message>
    <message>
        <source>Your Mp3 has been created:  %1. Would you like to view the file?</source>
        <translation>Ihre MP3-Datei wurde erstellt:  %1. Möchten Sie die Datei ansehen?</translation>
    </message>
    <message>
        <source>No recording mixer was found. Install &quot;pavucontrol&quot; (PulseAudio Volume Control) to choose the recording source and its level.</source>
        <translation>Es wurde kein Aufnahmemixer gefunden. Installieren Sie „pavucontrol“ (PulseAudio-Lautstärkeregler), um Aufnahmequelle und Pegel zu wählen.</translation>
    </message>
    <message>
        <source>Could not open the mixer, please contact support</source>
        <translation>Der Mixer konnte nicht geöffnet werden, bitte wenden Sie sich an den Support</translation>
    </message>
    <message>
        <source>No file has yet been recorded during this session.</source>
        <translation>In dieser Sitzung wurde noch nichts aufgenommen.</translation>
    </message>
    <message>
        <source>The directory could not be opened.</source>
        <translation>Der Ordner konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>There was a problem loading the editor. The file could not be found.</source>
        <translation>Beim Laden des Editors ist ein Problem aufgetreten. Die Datei wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The settings file &quot;%1&quot; could not be written: the lists will not be kept.</source>
        <translation>Die Einstellungsdatei „%1“ konnte nicht geschrieben werden: die Listen werden nicht gespeichert.</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::frmDRIVE</name>
    <message>
        <source>Available Drive Space</source>
        <translation>Freier Speicherplatz</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Datenträger</translation>
    </message>
    <message>
        <source>Total Space</source>
        <translation>Gesamt</translation>
    </message>
    <message>
        <source>Free Space</source>
        <translation>Frei</translation>
    </message>
    <message>
        <source>Used Space</source>
        <translation>Belegt</translation>
    </message>
    <message>
        <source>Drive Type</source>
        <translation>Laufwerksart</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Drives</source>
        <translation>Laufwerke</translation>
    </message>
</context>
</TS>
