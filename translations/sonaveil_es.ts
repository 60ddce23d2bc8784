<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>PlayerNotices</name>
    <message>
        <source>the file is missing</source>
        <translation>falta el archivo</translation>
    </message>
    <message>
        <source>it is not a regular file (a folder, a pipe or a device stands in its place)</source>
        <translation>no es un archivo normal (en su lugar hay una carpeta, una tubería o un dispositivo)</translation>
    </message>
    <message>
        <source>it cannot be read (%1)</source>
        <translation>no se puede leer (%1)</translation>
    </message>
    <message>
        <source>it is not a sound file Sonaveil can read</source>
        <translation>no es un archivo de sonido que Sonaveil pueda leer</translation>
    </message>
    <message>
        <source>it is damaged: it holds no sound</source>
        <translation>está dañado: no contiene sonido</translation>
    </message>
    <message>
        <source>Sonaveil could not load these sounds:</source>
        <translation>Sonaveil no pudo cargar estos sonidos:</translation>
    </message>
    <message>
        <source>&quot;%1&quot; from &quot;%2&quot;: %3. %4</source>
        <translation>«%1» de «%2»: %3. %4</translation>
    </message>
    <message>
        <source>It plays live while endless sounds are on.</source>
        <translation>Suena generado en vivo mientras los sonidos sin fin estén activados.</translation>
    </message>
    <message>
        <source>It stays silent.</source>
        <translation>Queda en silencio.</translation>
    </message>
    <message>
        <source>The mix that plays could not be kept in &quot;%1&quot;: %2. Sonaveil tells you again only if the reason changes.</source>
        <translation>La mezcla que suena no se pudo guardar en «%1»: %2. Sonaveil vuelve a avisar solo si cambia el motivo.</translation>
    </message>
    <message>
        <source>The alarm&apos;s shut-down option has asked the computer to power off in %1 seconds, at %2.</source>
        <translation>La opción de apagado de la alarma ha pedido al equipo que se apague dentro de %1 segundos, a las %2.</translation>
    </message>
    <message>
        <source>Cancel shut-down</source>
        <translation>Cancelar el apagado</translation>
    </message>
    <message>
        <source>This desktop shows no tray icons, so Sonaveil is minimised instead of hidden: you find it on the task bar.</source>
        <translation>Este escritorio no muestra iconos en la bandeja, así que Sonaveil se minimiza en lugar de ocultarse: lo encontrará en la barra de tareas.</translation>
    </message>
    <message>
        <source>it cannot be written</source>
        <translation>no se puede escribir</translation>
    </message>
    <message>
        <source>Sonaveil could not save these files as it closed:
%1</source>
        <translation>Sonaveil no pudo guardar estos archivos al cerrarse:
%1</translation>
    </message>
</context>
<context>
    <name>quietdeck</name>
    <message>
        <source>cannot load &quot;%1&quot;: %2</source>
        <translation>no se puede cargar «%1»: %2</translation>
    </message>
    <message>
        <source>cannot load &quot;%1&quot;: it does not hold a preset</source>
        <translation>no se puede cargar «%1»: no contiene un ajuste</translation>
    </message>
    <message>
        <source>the running player does not answer</source>
        <translation>el reproductor en marcha no responde</translation>
    </message>
    <message>
        <source>later starts cannot reach this player (%1)</source>
        <translation>los inicios posteriores no pueden llegar a este reproductor (%1)</translation>
    </message>
    <message>
        <source>cannot create the folder %1: a file of that name is in the way</source>
        <translation>no se puede crear la carpeta %1: hay un archivo con ese nombre</translation>
    </message>
    <message>
        <source>cannot create the folder %1: %2</source>
        <translation>no se puede crear la carpeta %1: %2</translation>
    </message>
</context>
<context>
    <name>recorder</name>
    <message>
        <source>cannot create the folder %1: a file of that name is in the way</source>
        <translation>no se puede crear la carpeta %1: hay un archivo con ese nombre</translation>
    </message>
    <message>
        <source>cannot create the folder %1: %2</source>
        <translation>no se puede crear la carpeta %1: %2</translation>
    </message>
</context>
<context>
    <name>sonaveil::controls::MasterVolume</name>
    <message>
        <source>System volume</source>
        <translation>Volumen del sistema</translation>
    </message>
    <message>
        <source>Volume:  %1%</source>
        <translation>Volumen:  %1%</translation>
    </message>
    <message>
        <source>Mute or unmute</source>
        <translation>Silenciar o activar el sonido</translation>
    </message>
    <message>
        <source>%1 %, muted</source>
        <translation>%1 %, silenciado</translation>
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
        <translation>Ajustando las horas</translation>
    </message>
    <message>
        <source>Setting the minutes</source>
        <translation>Ajustando los minutos</translation>
    </message>
    <message>
        <source>Setting the seconds</source>
        <translation>Ajustando los segundos</translation>
    </message>
    <message>
        <source>Setting AM or PM</source>
        <translation>Ajustando a. m. o p. m.</translation>
    </message>
</context>
<context>
    <name>sonaveil::lumidot::GeneralPage</name>
    <message>
        <source>Number of Columns (Width) [Values: 1 to 80]</source>
        <translation>Número de columnas (ancho) [valores: 1 a 80]</translation>
    </message>
    <message>
        <source>Number of Rows (Height) [Values: 1 to 4]</source>
        <translation>Número de filas (alto) [valores: 1 a 4]</translation>
    </message>
    <message>
        <source>Lcd Column Number Error
Values: 1 to 80</source>
        <translation>Error en el número de columnas de la pantalla
Valores: 1 a 80</translation>
    </message>
    <message>
        <source>Lcd Row Number Error
Value: 1 to 4</source>
        <translation>Error en el número de filas de la pantalla
Valor: 1 a 4</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>More columns</source>
        <translation>Más columnas</translation>
    </message>
    <message>
        <source>Fewer columns</source>
        <translation>Menos columnas</translation>
    </message>
    <message>
        <source>More rows</source>
        <translation>Más filas</translation>
    </message>
    <message>
        <source>Fewer rows</source>
        <translation>Menos filas</translation>
    </message>
    <message>
        <source>BorderStyle</source>
        <translation>BorderStyle (marco)</translation>
    </message>
    <message>
        <source>Lcd Size</source>
        <translation>Tamaño de la pantalla</translation>
    </message>
    <message>
        <source>LCDCol:</source>
        <translation>LCDCol (columnas):</translation>
    </message>
    <message>
        <source>LCDRow:</source>
        <translation>LCDRow (filas):</translation>
    </message>
    <message>
        <source>Advance</source>
        <translation>Avanzado</translation>
    </message>
    <message>
        <source>ColBorderSize:</source>
        <translation>ColBorderSize (margen lateral):</translation>
    </message>
    <message>
        <source>Colspace:</source>
        <translation>Colspace (espacio entre columnas):</translation>
    </message>
    <message>
        <source>Rowspace:</source>
        <translation>Rowspace (espacio entre filas):</translation>
    </message>
    <message>
        <source>RowBorderSize:</source>
        <translation>RowBorderSize (margen superior):</translation>
    </message>
    <message>
        <source>Value Invalid</source>
        <translation>Valor no válido</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::AlarmWindow</name>
    <message>
        <source>Alarm Clock</source>
        <translation>Despertador</translation>
    </message>
    <message>
        <source>Alarm time</source>
        <translation>Hora de la alarma</translation>
    </message>
    <message>
        <source>The time of day the alarm goes off (24-hour)</source>
        <translation>La hora a la que suena la alarma (24 horas)</translation>
    </message>
    <message>
        <source>Play for</source>
        <translation>Reproducir durante</translation>
    </message>
    <message>
        <source>How long the alarm plays when it does not repeat</source>
        <translation>Cuánto tiempo suena la alarma si no se repite</translation>
    </message>
    <message>
        <source>&amp;Repeat alarm continuously</source>
        <translation>&amp;Repetir la alarma sin parar</translation>
    </message>
    <message>
        <source>&amp;Fade in alarm volume</source>
        <translation>&amp;Subir poco a poco el volumen</translation>
    </message>
    <message>
        <source>Max Alarm Volume</source>
        <translation>Volumen máximo de la alarma</translation>
    </message>
    <message>
        <source>The volume of the alarm sound, and where a fade ends</source>
        <translation>El volumen del sonido de alarma y dónde termina la subida</translation>
    </message>
    <message>
        <source>Alarm sound</source>
        <translation>Sonido de alarma</translation>
    </message>
    <message>
        <source>C&amp;hoose Alarm</source>
        <translation>&amp;Elegir alarma</translation>
    </message>
    <message>
        <source>Choose the sound file the alarm plays</source>
        <translation>Elegir el archivo de sonido que reproduce la alarma</translation>
    </message>
    <message>
        <source>&amp;Test Alarm</source>
        <translation>&amp;Probar alarma</translation>
    </message>
    <message>
        <source>Play the alarm sound now at the set volume</source>
        <translation>Reproducir ahora el sonido de alarma con el volumen elegido</translation>
    </message>
    <message>
        <source>Stop T&amp;est</source>
        <translation>&amp;Detener prueba</translation>
    </message>
    <message>
        <source>Stop the test sound (this also switches the alarm off)</source>
        <translation>Detener el sonido de prueba (también desactiva la alarma)</translation>
    </message>
    <message>
        <source>Reset &amp;Default Alarm</source>
        <translation>A&amp;larma predeterminada</translation>
    </message>
    <message>
        <source>Use the program&apos;s own alarm sound</source>
        <translation>Usar el sonido de alarma del programa</translation>
    </message>
    <message>
        <source>Sleep timer (instead of the alarm sound)</source>
        <translation>Temporizador de sueño (en lugar de la alarma)</translation>
    </message>
    <message>
        <source>Close &amp;program when alarm time is reached </source>
        <translation>Cerrar el pr&amp;ograma a la hora de la alarma </translation>
    </message>
    <message>
        <source>&amp;Shutdown computer when alarm time is reached </source>
        <translation>&amp;Apagar el ordenador a la hora de la alarma </translation>
    </message>
    <message>
        <source>Fade out over</source>
        <translation>Desvanecer durante</translation>
    </message>
    <message>
        <source>Fade out time</source>
        <translation>Tiempo de desvanecimiento</translation>
    </message>
    <message>
        <source>The masking sounds fall smoothly to silence over this time before the alarm time</source>
        <translation>Los sonidos bajan suavemente hasta el silencio durante este tiempo antes de la hora de la alarma</translation>
    </message>
    <message>
        <source>off</source>
        <translation>no</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 minutos</translation>
    </message>
    <message>
        <source>Stop &amp;Alarm</source>
        <translation>De&amp;tener alarma</translation>
    </message>
    <message>
        <source>Silence the alarm that is playing</source>
        <translation>Silenciar la alarma que está sonando</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Cerrar</translation>
    </message>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
    <message>
        <source>All Supported Samples (*.wav, *.mp3, *.ogg, *.wma)|*.wav;*.ogg;*.mp3;*.wma</source>
        <translation>Todos los sonidos admitidos (*.wav, *.mp3, *.ogg, *.wma)|*.wav;*.ogg;*.mp3;*.wma</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>segundos</translation>
    </message>
    <message>
        <source>Choose Alarm</source>
        <translation>Elegir la alarma</translation>
    </message>
    <message>
        <source>The alarm settings cannot keep a file name with a double quote or a line break in it. Please rename the file or choose another one.</source>
        <translation>Los ajustes de la alarma no pueden guardar un nombre de archivo con comillas dobles o un salto de línea. Cambie el nombre del archivo o elija otro.</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::ColoursEditor</name>
    <message>
        <source>Please type a name to identify this color scheme</source>
        <translation>Escriba un nombre para identificar este esquema de color</translation>
    </message>
    <message>
        <source>This will delete the current preset. Continue?</source>
        <translation>Esto borrará el ajuste actual. ¿Continuar?</translation>
    </message>
    <message>
        <source>The file could not be saved. Please try again ensuring you have not used special characters (!/&lt;&gt;&amp;*$%) in the name </source>
        <translation>No se pudo guardar el archivo. Vuelva a intentarlo sin usar caracteres especiales (!/&lt;&gt;&amp;*$%) en el nombre </translation>
    </message>
    <message>
        <source>There was an error loading the configuration!</source>
        <translation>¡Hubo un error al cargar la configuración!</translation>
    </message>
    <message>
        <source>This scheme name is too long; please use at most %1 characters (fewer with accented letters).</source>
        <translation>Este nombre de esquema es demasiado largo; use como máximo %1 caracteres (menos con letras acentuadas).</translation>
    </message>
    <message>
        <source>Select</source>
        <translation>Elegir</translation>
    </message>
    <message>
        <source>No Preset Selected</source>
        <translation>Ningún esquema elegido</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::ColoursWindow</name>
    <message>
        <source>Button Textcolor</source>
        <translation>Color del texto de los botones</translation>
    </message>
    <message>
        <source>Button Backcolor</source>
        <translation>Fondo de los botones</translation>
    </message>
    <message>
        <source>Button Rollover</source>
        <translation>Botones bajo el ratón</translation>
    </message>
    <message>
        <source>Slider Gradient1</source>
        <translation>Degradado del control 1</translation>
    </message>
    <message>
        <source>Slider Gradient2</source>
        <translation>Degradado del control 2</translation>
    </message>
    <message>
        <source>Text Color</source>
        <translation>Color del texto</translation>
    </message>
    <message>
        <source>Background Color</source>
        <translation>Color de fondo</translation>
    </message>
    <message>
        <source>Form Color</source>
        <translation>Color de la ventana</translation>
    </message>
    <message>
        <source>Color Schemes</source>
        <translation>Esquemas de color</translation>
    </message>
    <message>
        <source>Choose the %1</source>
        <translation>Elegir: %1</translation>
    </message>
    <message>
        <source>LCD Scheme</source>
        <translation>Colores de la pantalla</translation>
    </message>
    <message>
        <source>The palette of the status display</source>
        <translation>Los colores de la pantalla de estado</translation>
    </message>
    <message>
        <source>&amp;Image As Background</source>
        <translation>&amp;Imagen de fondo</translation>
    </message>
    <message>
        <source>Show the background picture; untick for the plain form colour</source>
        <translation>Mostrar la imagen de fondo; sin marcar, solo el color de la ventana</translation>
    </message>
    <message>
        <source>Form color preview</source>
        <translation>Vista previa del color de la ventana</translation>
    </message>
    <message>
        <source>Choose the form color</source>
        <translation>Elegir el color de la ventana</translation>
    </message>
    <message>
        <source>The scheme before</source>
        <translation>El esquema anterior</translation>
    </message>
    <message>
        <source>Color scheme</source>
        <translation>Esquema de color</translation>
    </message>
    <message>
        <source>The saved color schemes</source>
        <translation>Los esquemas de color guardados</translation>
    </message>
    <message>
        <source>The scheme after</source>
        <translation>El esquema siguiente</translation>
    </message>
    <message>
        <source>&amp;Save </source>
        <translation>&amp;Guardar </translation>
    </message>
    <message>
        <source>Save these colors as a scheme</source>
        <translation>Guardar estos colores como esquema</translation>
    </message>
    <message>
        <source>&amp;Del</source>
        <translation>&amp;Borrar</translation>
    </message>
    <message>
        <source>Delete the scheme named in the list</source>
        <translation>Borrar el esquema indicado en la lista</translation>
    </message>
    <message>
        <source>&amp;Restore Default Colors</source>
        <translation>&amp;Colores predeterminados</translation>
    </message>
    <message>
        <source>Load the scheme named Default</source>
        <translation>Cargar el esquema llamado Default</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>&amp;Aplicar</translation>
    </message>
    <message>
        <source>Recolor the player&apos;s windows and close</source>
        <translation>Volver a colorear las ventanas y cerrar</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Ca&amp;ncelar</translation>
    </message>
    <message>
        <source>Close; the colors chosen stay held</source>
        <translation>Cerrar; los colores elegidos se conservan</translation>
    </message>
    <message>
        <source>none</source>
        <translation>nada</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::CommandLine</name>
    <message>
        <source>--load needs a preset file</source>
        <translation>--load necesita un archivo de ajuste</translation>
    </message>
    <message>
        <source>unknown option &quot;%1&quot; (quietdeck --help lists the options)</source>
        <translation>opción desconocida «%1» (quietdeck --help enumera las opciones)</translation>
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
        <translation>Uso: quietdeck [opciones] [ARCHIVO.svp]
Sonaveil: sonidos enmascaradores para la noche. Un segundo inicio pasa sus opciones al
reproductor en marcha y trae su ventana al frente.

  --load ARCHIVO  cargar un ajuste (.svp) como hace «Cargar»; un ARCHIVO solo hace lo mismo
  --previous      cargar la mezcla de la última sesión
  --add-sound ARCHIVO  añadir un archivo de sonido (o una carpeta de música) a «Mis sonidos»
  --stop-all      apagar todos los sonidos
  --mute          silenciar la mezcla
  --unmute        devolver el sonido a la mezcla silenciada
  --tray          iniciar oculto en la bandeja (un reproductor en marcha se queda donde está)
  --tinnitus      abrir «Mi acúfeno»: las mediciones, el diario y los gráficos
  --quit          cerrar el reproductor en marcha
  --help          mostrar este texto
  --version       mostrar la versión</translation>
    </message>
    <message>
        <source>--add-sound needs a sound file or a folder</source>
        <translation>--add-sound necesita un archivo de sonido o una carpeta</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::DesktopBridge</name>
    <message>
        <source>the player is closing</source>
        <translation>el reproductor se está cerrando</translation>
    </message>
    <message>
        <source>cannot load &quot;%1&quot;: %2</source>
        <translation>no se puede cargar «%1»: %2</translation>
    </message>
    <message>
        <source>there is no previous mix (%1)</source>
        <translation>no hay mezcla anterior (%1)</translation>
    </message>
    <message>
        <source>cannot load the previous mix: %1</source>
        <translation>no se puede cargar la mezcla anterior: %1</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::Dialogs</name>
    <message>
        <source>A file name cannot contain a double quote (&quot;). Please type the name without it.</source>
        <translation>Un nombre de archivo no puede contener comillas dobles (&quot;). Escriba el nombre sin ellas.</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::Equaliser</name>
    <message>
        <source>No Preset Selected</source>
        <translation>Ningún ajuste elegido</translation>
    </message>
    <message>
        <source>Please type a name to identify this equalizer configuration</source>
        <translation>Escriba un nombre para identificar esta configuración del ecualizador</translation>
    </message>
    <message>
        <source>This will delete the current preset. Continue?</source>
        <translation>Esto borrará el ajuste actual. ¿Continuar?</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::EqualiserWindow</name>
    <message>
        <source>Equalizer</source>
        <translation>Ecualizador</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Apagado</translation>
    </message>
    <message>
        <source>Switch the equaliser on or off</source>
        <translation>Activar o desactivar el ecualizador</translation>
    </message>
    <message>
        <source>Notch</source>
        <translation>Muesca</translation>
    </message>
    <message>
        <source>Take a band around your matched pitch out of the whole mix (see Pitch Match)</source>
        <translation>Quitar de toda la mezcla una banda alrededor de su tono (vea Buscar el tono)</translation>
    </message>
    <message>
        <source>Preset</source>
        <translation>Ajuste</translation>
    </message>
    <message>
        <source>The previous preset</source>
        <translation>El ajuste anterior</translation>
    </message>
    <message>
        <source>Equaliser presets of the folder &quot;presets&quot;</source>
        <translation>Ajustes del ecualizador de la carpeta «presets»</translation>
    </message>
    <message>
        <source>The next preset</source>
        <translation>El ajuste siguiente</translation>
    </message>
    <message>
        <source>%1 Hz band</source>
        <translation>Banda de %1 Hz</translation>
    </message>
    <message>
        <source>&amp;Save Preset</source>
        <translation>&amp;Guardar ajuste</translation>
    </message>
    <message>
        <source>Store these ten bands as a preset</source>
        <translation>Guardar estas diez bandas como ajuste</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Borrar</translation>
    </message>
    <message>
        <source>Delete the preset named in the list</source>
        <translation>Borrar el ajuste indicado en la lista</translation>
    </message>
    <message>
        <source>Ce&amp;nter all EQs</source>
        <translation>&amp;Centrar todas las bandas</translation>
    </message>
    <message>
        <source>Every band to 0 dB</source>
        <translation>Todas las bandas a 0 dB</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>C&amp;errar</translation>
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
        <translation>Encendido</translation>
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
        <translation>Sonido</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volumen</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Tono</translation>
    </message>
    <message>
        <source>L / R Balance</source>
        <translation>Balance I / D</translation>
    </message>
    <message>
        <source>Masking sounds for the night</source>
        <translation>Sonidos enmascaradores para la noche</translation>
    </message>
    <message>
        <source>Alarm Confi&amp;g</source>
        <translation>Con&amp;figurar alarma</translation>
    </message>
    <message>
        <source>Alarm O&amp;n</source>
        <translation>Acti&amp;var alarma</translation>
    </message>
    <message>
        <source>Alarm O&amp;ff</source>
        <translation>&amp;Desactivar alarma</translation>
    </message>
    <message>
        <source>E&amp;qualizer</source>
        <translation>Ecuali&amp;zador</translation>
    </message>
    <message>
        <source>Set the alarm clock and the sleep timer</source>
        <translation>Ajustar el despertador y el temporizador de sueño</translation>
    </message>
    <message>
        <source>Arm the alarm for the set time</source>
        <translation>Activar la alarma para la hora elegida</translation>
    </message>
    <message>
        <source>Disarm the alarm and silence it</source>
        <translation>Desactivar la alarma y silenciarla</translation>
    </message>
    <message>
        <source>Shape the whole sound with the ten-band equaliser</source>
        <translation>Dar forma a todo el sonido con el ecualizador de diez bandas</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Opciones</translation>
    </message>
    <message>
        <source>Co&amp;lors</source>
        <translation>Co&amp;lores</translation>
    </message>
    <message>
        <source>The colors of the player&apos;s windows</source>
        <translation>Los colores de las ventanas</translation>
    </message>
    <message>
        <source>&amp;Record</source>
        <translation>&amp;Grabar</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;yuda</translation>
    </message>
    <message>
        <source>Tra&amp;y</source>
        <translation>&amp;Bandeja</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>C&amp;errar</translation>
    </message>
    <message>
        <source>Pitch &amp;Match</source>
        <translation>Bu&amp;scar el tono</translation>
    </message>
    <message>
        <source>Find the pitch of your tinnitus</source>
        <translation>Encontrar el tono de su acúfeno</translation>
    </message>
    <message>
        <source>No&amp;ise</source>
        <translation>&amp;Ruido</translation>
    </message>
    <message>
        <source>Nat&amp;ure</source>
        <translation>Nat&amp;uraleza</translation>
    </message>
    <message>
        <source>&amp;Machines</source>
        <translation>&amp;Máquinas</translation>
    </message>
    <message>
        <source>Hous&amp;ehold</source>
        <translation>&amp;Hogar</translation>
    </message>
    <message>
        <source>Sounds:</source>
        <translation>Sonidos:</translation>
    </message>
    <message>
        <source>&amp;Stop all</source>
        <translation>&amp;Parar todo</translation>
    </message>
    <message>
        <source>Switch off every sound on every page</source>
        <translation>Apagar todos los sonidos de todas las páginas</translation>
    </message>
    <message>
        <source>Master volume</source>
        <translation>Volumen general</translation>
    </message>
    <message>
        <source>%1 pitch</source>
        <translation>%1: tono</translation>
    </message>
    <message>
        <source>%1 balance</source>
        <translation>%1: balance</translation>
    </message>
    <message>
        <source>%1 volume</source>
        <translation>%1: volumen</translation>
    </message>
    <message>
        <source>Frequency Not Available</source>
        <translation>Tono no disponible</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>Dete&amp;ner</translation>
    </message>
    <message>
        <source>Switch off every sound of this page</source>
        <translation>Apagar todos los sonidos de esta página</translation>
    </message>
    <message>
        <source>Master</source>
        <translation>General</translation>
    </message>
    <message>
        <source>System</source>
        <translation>Sistema</translation>
    </message>
    <message>
        <source>Master volume of every sound</source>
        <translation>Volumen general de todos los sonidos</translation>
    </message>
    <message>
        <source>The computer&apos;s own output volume</source>
        <translation>El volumen de salida del ordenador</translation>
    </message>
    <message>
        <source>Presets</source>
        <translation>Ajustes</translation>
    </message>
    <message>
        <source>Sa&amp;ve</source>
        <translation>Gu&amp;ardar</translation>
    </message>
    <message>
        <source>Loa&amp;d</source>
        <translation>&amp;Cargar</translation>
    </message>
    <message>
        <source>&amp;Previous</source>
        <translation>An&amp;terior</translation>
    </message>
    <message>
        <source>&amp;Assign</source>
        <translation>As&amp;ignar</translation>
    </message>
    <message>
        <source>Save the mix as a preset file</source>
        <translation>Guardar la mezcla como archivo de ajuste</translation>
    </message>
    <message>
        <source>Open a preset file</source>
        <translation>Abrir un archivo de ajuste</translation>
    </message>
    <message>
        <source>The mix that was playing when the player last closed</source>
        <translation>La mezcla que sonaba al cerrar el programa la última vez</translation>
    </message>
    <message>
        <source>Put a preset file on one of the ten quick buttons</source>
        <translation>Poner un archivo de ajuste en uno de los diez botones rápidos</translation>
    </message>
    <message>
        <source>Quick presets</source>
        <translation>Ajustes rápidos</translation>
    </message>
    <message>
        <source>Quick preset %1</source>
        <translation>Ajuste rápido %1</translation>
    </message>
    <message>
        <source>Every volume of this page to 0</source>
        <translation>Todos los volúmenes de esta página a 0</translation>
    </message>
    <message>
        <source>Every volume of this page 15 lower</source>
        <translation>Todos los volúmenes de esta página 15 más bajos</translation>
    </message>
    <message>
        <source>Every volume of this page 15 higher</source>
        <translation>Todos los volúmenes de esta página 15 más altos</translation>
    </message>
    <message>
        <source>Every volume of this page to full</source>
        <translation>Todos los volúmenes de esta página al máximo</translation>
    </message>
    <message>
        <source>Every frequency of this page to the lowest</source>
        <translation>Todos los tonos de esta página al más grave</translation>
    </message>
    <message>
        <source>Every frequency of this page 1500 Hz lower</source>
        <translation>Todos los tonos de esta página 1500 Hz más graves</translation>
    </message>
    <message>
        <source>Every frequency of this page 1500 Hz higher</source>
        <translation>Todos los tonos de esta página 1500 Hz más agudos</translation>
    </message>
    <message>
        <source>Every frequency of this page to the highest</source>
        <translation>Todos los tonos de esta página al más agudo</translation>
    </message>
    <message>
        <source>Every balance of this page to the centre</source>
        <translation>Todos los balances de esta página al centro</translation>
    </message>
    <message>
        <source>My Sounds</source>
        <translation>Mis sonidos</translation>
    </message>
    <message>
        <source>Your own sounds and music</source>
        <translation>Sus propios sonidos y su música</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::MySoundsPage</name>
    <message>
        <source>Sound files (*.wav *.flac *.ogg *.oga *.opus *.mp3 *.aif *.aiff)|*.wav;*.flac;*.ogg;*.oga;*.opus;*.mp3;*.aif;*.aiff</source>
        <translation>Archivos de sonido (*.wav *.flac *.ogg *.oga *.opus *.mp3 *.aif *.aiff)|*.wav;*.flac;*.ogg;*.oga;*.opus;*.mp3;*.aif;*.aiff</translation>
    </message>
    <message>
        <source>Your own sounds play here beside the built-in ones: a recording of your fan, the rain on your roof, or your own music, through the notch when it is on. Add a sound file, or a folder of music that plays as a playlist.</source>
        <translation>Aquí suenan sus propios sonidos junto a los incluidos: una grabación de su ventilador, la lluvia sobre su tejado o su propia música, a través de la muesca cuando está activada. Añada un archivo de sonido o una carpeta de música que suena como lista de reproducción.</translation>
    </message>
    <message>
        <source>Add Sound…</source>
        <translation>Añadir sonido…</translation>
    </message>
    <message>
        <source>Copy a sound file of your own into the player (WAV, FLAC, Ogg, Opus, MP3)</source>
        <translation>Copiar un archivo de sonido propio al reproductor (WAV, FLAC, Ogg, Opus, MP3)</translation>
    </message>
    <message>
        <source>Add Folder…</source>
        <translation>Añadir carpeta…</translation>
    </message>
    <message>
        <source>Play the sound files of a folder one after another, without end</source>
        <translation>Reproducir los archivos de sonido de una carpeta uno tras otro, sin fin</translation>
    </message>
    <message>
        <source>My sound %1</source>
        <translation>Sonido propio %1</translation>
    </message>
    <message>
        <source>My sound %1: rename, remove</source>
        <translation>Sonido propio %1: cambiar nombre, quitar</translation>
    </message>
    <message>
        <source>My sound %1 volume</source>
        <translation>Volumen del sonido propio %1</translation>
    </message>
    <message>
        <source>My sound %1 pitch</source>
        <translation>Tono del sonido propio %1</translation>
    </message>
    <message>
        <source>My sound %1 balance</source>
        <translation>Balance del sonido propio %1</translation>
    </message>
    <message>
        <source>%1: the folder %2, %3</source>
        <translation>%1: la carpeta %2, %3</translation>
    </message>
    <message>
        <source>shuffled</source>
        <translation>en orden aleatorio</translation>
    </message>
    <message>
        <source>in order</source>
        <translation>en orden</translation>
    </message>
    <message>
        <source>%1 volume</source>
        <translation>Volumen de %1</translation>
    </message>
    <message>
        <source>%1 pitch</source>
        <translation>Tono de %1</translation>
    </message>
    <message>
        <source>%1 balance</source>
        <translation>Balance de %1</translation>
    </message>
    <message>
        <source>%1: rename, remove</source>
        <translation>%1: cambiar nombre, quitar</translation>
    </message>
    <message>
        <source>Rename or remove %1</source>
        <translation>Cambiar el nombre de %1 o quitarlo</translation>
    </message>
    <message>
        <source>You have %1 sounds of your own, the most there can be</source>
        <translation>Tiene %1 sonidos propios, el máximo posible</translation>
    </message>
    <message>
        <source>You already have %1 sounds of your own. Remove one of them before you add another.</source>
        <translation>Ya tiene %1 sonidos propios. Quite uno antes de añadir otro.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be found.</source>
        <translation>No se encuentra «%1».</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an ordinary file (it may be a pipe or a device), so it cannot be added.</source>
        <translation>«%1» no es un archivo normal (quizá una tubería o un dispositivo) y no se puede añadir.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a sound file the player can read, or it is damaged.</source>
        <translation>«%1» no es un archivo de sonido que el reproductor pueda leer, o está dañado.</translation>
    </message>
    <message>
        <source>There is not enough free space in %1 to copy &quot;%2&quot;. Free some space and try again.</source>
        <translation>No hay espacio libre suficiente en %1 para copiar «%2». Libere espacio y vuelva a intentarlo.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be copied into %2: %3</source>
        <translation>No se pudo copiar «%1» en %2: %3</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; cannot be read: %2</source>
        <translation>No se puede leer la carpeta «%1»: %2</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; holds no sound files the player can read.</source>
        <translation>La carpeta «%1» no contiene archivos de sonido que el reproductor pueda leer.</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; is already one of your sounds.</source>
        <translation>La carpeta «%1» ya es uno de sus sonidos.</translation>
    </message>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
    <message>
        <source>Add a Sound</source>
        <translation>Añadir un sonido</translation>
    </message>
    <message>
        <source>Add a Folder of Music</source>
        <translation>Añadir una carpeta de música</translation>
    </message>
    <message>
        <source>Adding &quot;%1&quot; was cancelled; nothing of it was kept.</source>
        <translation>Se canceló la incorporación de &quot;%1&quot;; no se guardó nada de él.</translation>
    </message>
    <message>
        <source>Another sound is being added. Try again when it is done.</source>
        <translation>Se está añadiendo otro sonido. Inténtelo de nuevo cuando termine.</translation>
    </message>
    <message>
        <source>Add Sound</source>
        <translation>Añadir sonido</translation>
    </message>
    <message>
        <source>Copying &quot;%1&quot; into the player…</source>
        <translation>Copiando &quot;%1&quot; en el reproductor…</translation>
    </message>
    <message>
        <source>Reading the folder &quot;%1&quot;…</source>
        <translation>Leyendo la carpeta &quot;%1&quot;…</translation>
    </message>
    <message>
        <source>Adding %1</source>
        <translation>Añadiendo %1</translation>
    </message>
    <message>
        <source>&amp;Rename…</source>
        <translation>&amp;Cambiar nombre…</translation>
    </message>
    <message>
        <source>&amp;Shuffle</source>
        <translation>&amp;Aleatorio</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <translation>&amp;Quitar</translation>
    </message>
    <message>
        <source>Rename Sound</source>
        <translation>Cambiar el nombre del sonido</translation>
    </message>
    <message>
        <source>New name for &quot;%1&quot;:</source>
        <translation>Nuevo nombre para «%1»:</translation>
    </message>
    <message>
        <source>A sound needs a name; &quot;%1&quot; keeps its own.</source>
        <translation>Un sonido necesita un nombre; «%1» conserva el suyo.</translation>
    </message>
    <message>
        <source>Remove &quot;%1&quot;? Its copy in the player&apos;s folder is deleted; your own file stays where it is.</source>
        <translation>¿Quitar «%1»? Se borra su copia en la carpeta del reproductor; su propio archivo se queda donde está.</translation>
    </message>
    <message>
        <source>Remove &quot;%1&quot;? The folder itself and its music stay where they are.</source>
        <translation>¿Quitar «%1»? La carpeta y su música se quedan donde están.</translation>
    </message>
    <message>
        <source>The list of your sounds could not be saved in %1: %2</source>
        <translation>No se pudo guardar la lista de sus sonidos en %1: %2</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::NotchChart</name>
    <message>
        <source>Minutes of notched listening</source>
        <translation>Minutos de escucha con muesca</translation>
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
        <translation>Hoy: %1 · los %2 días anteriores: %3</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::OptionsWindow</name>
    <message>
        <source>Program Options</source>
        <translation>Opciones del programa</translation>
    </message>
    <message>
        <source>&amp;General Options</source>
        <translation>Opciones &amp;generales</translation>
    </message>
    <message>
        <source>So&amp;undcard</source>
        <translation>&amp;Tarjeta de sonido</translation>
    </message>
    <message>
        <source>Startup Position</source>
        <translation>Al iniciar</translation>
    </message>
    <message>
        <source>&amp;Fully Displayed</source>
        <translation>&amp;Ventana completa</translation>
    </message>
    <message>
        <source>&amp;Taskbar</source>
        <translation>B&amp;arra de tareas</translation>
    </message>
    <message>
        <source>System Tra&amp;y</source>
        <translation>&amp;Bandeja del sistema</translation>
    </message>
    <message>
        <source>&amp;Launch program automatically on boot</source>
        <translation>&amp;Iniciar el programa al arrancar</translation>
    </message>
    <message>
        <source>&amp;Resume the last mix at start-up</source>
        <translation>&amp;Reanudar la última mezcla al iniciar</translation>
    </message>
    <message>
        <source>&amp;Endless sounds (never repeat)</source>
        <translation>Sonidos si&amp;n fin (nunca se repiten)</translation>
    </message>
    <message>
        <source>The built-in sounds are made as they play and never repeat; unticked, each plays its file as a loop. Applies to sounds switched on from now on.</source>
        <translation>Los sonidos incluidos se crean mientras suenan y nunca se repiten; sin marcar, cada uno reproduce su archivo en bucle. Se aplica a los sonidos que se activen a partir de ahora.</translation>
    </message>
    <message>
        <source>C&amp;ontact Us</source>
        <translation>C&amp;ontacto</translation>
    </message>
    <message>
        <source>Write to us by e-mail</source>
        <translation>Escríbanos por correo electrónico</translation>
    </message>
    <message>
        <source>Currently Used Soundcard: </source>
        <translation>Tarjeta de sonido en uso: </translation>
    </message>
    <message>
        <source>Sound card</source>
        <translation>Tarjeta de sonido</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <translation>&amp;Seleccionar</translation>
    </message>
    <message>
        <source>Use this sound card from the next start on</source>
        <translation>Usar esta tarjeta de sonido a partir del próximo inicio</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Cerrar</translation>
    </message>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
    <message>
        <source>Please restart the application for the change to take effect.</source>
        <translation>Reinicie la aplicación para que el cambio surta efecto.</translation>
    </message>
    <message>
        <source>Select preferred soundcard...</source>
        <translation>Elija la tarjeta de sonido preferida...</translation>
    </message>
    <message>
        <source>Current Soundcard: %1</source>
        <translation>Tarjeta de sonido actual: %1</translation>
    </message>
    <message>
        <source>Sonaveil cannot start automatically from the folder it is in: the name of that folder is not plain text, so the desktop&apos;s start-up entry cannot name the program. Move the Sonaveil folder to a folder with a plain name to use this option.</source>
        <translation>Sonaveil no puede iniciarse automáticamente desde la carpeta en la que está: el nombre de esa carpeta no es texto normal, así que la entrada de inicio del escritorio no puede nombrar el programa. Mueva la carpeta de Sonaveil a una carpeta con un nombre sencillo para usar esta opción.</translation>
    </message>
    <message>
        <source>The start-up entry could not be written: neither the desktop&apos;s start-up folder for every user nor your own (~/.config/autostart) can be written to.</source>
        <translation>No se pudo escribir la entrada de inicio: no se puede escribir ni en la carpeta de inicio del escritorio para todos los usuarios ni en la suya (~/.config/autostart).</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::PitchMatchWindow</name>
    <message>
        <source>Pitch Match</source>
        <translation>Buscar el tono</translation>
    </message>
    <message>
        <source>Sound:</source>
        <translation>Sonido:</translation>
    </message>
    <message>
        <source>&amp;Tone</source>
        <translation>&amp;Tono</translation>
    </message>
    <message>
        <source>A pure tone, for ringing or whistling tinnitus</source>
        <translation>Un tono puro, para acúfenos que suenan como un pitido</translation>
    </message>
    <message>
        <source>&amp;Narrow band</source>
        <translation>Banda &amp;estrecha</translation>
    </message>
    <message>
        <source>A band of noise a third of an octave wide, for hissing tinnitus</source>
        <translation>Una banda de ruido de un tercio de octava, para acúfenos que suenan como un siseo</translation>
    </message>
    <message>
        <source>Pitch:</source>
        <translation>Tono:</translation>
    </message>
    <message>
        <source>Down a third of an octave (Shift+Left)</source>
        <translation>Bajar un tercio de octava (Mayús+Izquierda)</translation>
    </message>
    <message>
        <source>Down a little, 1/24 octave (Left)</source>
        <translation>Bajar un poco, 1/24 de octava (Izquierda)</translation>
    </message>
    <message>
        <source>Up a little, 1/24 octave (Right)</source>
        <translation>Subir un poco, 1/24 de octava (Derecha)</translation>
    </message>
    <message>
        <source>Up a third of an octave (Shift+Right)</source>
        <translation>Subir un tercio de octava (Mayús+Derecha)</translation>
    </message>
    <message>
        <source>Level:</source>
        <translation>Nivel:</translation>
    </message>
    <message>
        <source>The sound&apos;s level; start low and raise it only until you hear it clearly</source>
        <translation>El nivel del sonido; empiece bajo y súbalo solo hasta oírlo con claridad</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>&amp;Reproducir</translation>
    </message>
    <message>
        <source>Play or stop the sound (Space)</source>
        <translation>Reproducir o detener el sonido (Espacio)</translation>
    </message>
    <message>
        <source>Octave &amp;check</source>
        <translation>&amp;Prueba de octava</translation>
    </message>
    <message>
        <source>&amp;Same</source>
        <translation>&amp;Igual</translation>
    </message>
    <message>
        <source>&amp;Lower</source>
        <translation>Más &amp;bajo</translation>
    </message>
    <message>
        <source>&amp;Higher</source>
        <translation>Más &amp;alto</translation>
    </message>
    <message>
        <source>Sa&amp;ve</source>
        <translation>Guar&amp;dar</translation>
    </message>
    <message>
        <source>Keep this pitch and kind in &quot;tinnitus.ini&quot;; the notch is centred on it</source>
        <translation>Guardar este tono y tipo en «tinnitus.ini»; el filtro de muesca se centra en él</translation>
    </message>
    <message>
        <source>H&amp;elp</source>
        <translation>A&amp;yuda</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Cerrar</translation>
    </message>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
    <message>
        <source>Saved: %1, %2</source>
        <translation>Guardado: %1, %2</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>Pa&amp;rar</translation>
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
        <translation>Reproduzca un sonido suave y súbalo o bájelo hasta que se parezca lo más posible a su acúfeno. Mantenga el nivel bajo: basta con que apenas se oiga.</translation>
    </message>
    <message>
        <source>Octave check: hear your match, then an octave below and an octave above. Pick the one that is closest to your tinnitus.</source>
        <translation>Prueba de octava: escuche su tono, luego una octava más grave y una octava más aguda. Elija el que más se acerque a su acúfeno.</translation>
    </message>
    <message>
        <source>The match could not be saved in &quot;tinnitus.ini&quot;: %1</source>
        <translation>El tono no se pudo guardar en «tinnitus.ini»: %1</translation>
    </message>
    <message>
        <source>narrow band</source>
        <translation>banda estrecha</translation>
    </message>
    <message>
        <source>tone</source>
        <translation>tono puro</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Listening through the notch, day by day</source>
        <translation>Escucha a través de la muesca, día a día</translation>
    </message>
    <message>
        <source>&amp;My Tinnitus…</source>
        <translation>&amp;Mi acúfeno…</translation>
    </message>
    <message>
        <source>Hearing check, loudness, masking level, diary and plots</source>
        <translation>Prueba de audición, sonoridad, nivel de enmascaramiento, diario y gráficos</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::Player</name>
    <message>
        <source>Your own sounds in this mix could not be kept beside &quot;%1&quot;: %2</source>
        <translation>No se pudieron guardar sus propios sonidos de esta mezcla junto a «%1»: %2</translation>
    </message>
    <message>
        <source>The file that keeps your own sounds beside &quot;%1&quot; cannot be read; the rest of the preset was loaded.</source>
        <translation>No se puede leer el archivo junto a «%1» que guarda sus propios sonidos; se cargó el resto del preajuste.</translation>
    </message>
    <message>
        <source>This preset plays your own sound %1, which is no longer there. Everything else of the preset was loaded.</source>
        <translation>Este preajuste reproduce su sonido propio %1, que ya no existe. Se cargó todo lo demás del preajuste.</translation>
    </message>
    <message>
        <source>This preset plays your own sounds %1, which are no longer there. Everything else of the preset was loaded.</source>
        <translation>Este preajuste reproduce sus sonidos propios %1, que ya no existen. Se cargó todo lo demás del preajuste.</translation>
    </message>
    <message>
        <source>Your sound &quot;%1&quot; has gone silent: its file or folder can no longer be read (moved, deleted or damaged).</source>
        <translation>Su sonido «%1» ha enmudecido: su archivo o su carpeta ya no se pueden leer (movidos, borrados o dañados).</translation>
    </message>
    <message>
        <source>My &amp;Tinnitus…</source>
        <translation>&amp;Mi acúfeno…</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::PresetActions</name>
    <message>
        <source>Save Preset</source>
        <translation>Guardar ajuste</translation>
    </message>
    <message>
        <source>Load Preset</source>
        <translation>Cargar ajuste</translation>
    </message>
    <message>
        <source>Select the Preset File</source>
        <translation>Elija el archivo de ajuste</translation>
    </message>
    <message>
        <source>The quick preset could not be stored in &quot;preset.txt&quot;; it is kept until the player closes.</source>
        <translation>El ajuste rápido no se pudo guardar en «preset.txt»; se conserva hasta que se cierre el reproductor.</translation>
    </message>
    <message>
        <source>Sonaveil Files (*.svp)|*.svp</source>
        <translation>Archivos de Sonaveil (*.svp)|*.svp</translation>
    </message>
    <message>
        <source>Sonaveil Files (*.svp)| *.svp</source>
        <translation>Archivos de Sonaveil (*.svp)| *.svp</translation>
    </message>
    <message>
        <source>Please Enter a Preset Number between 1 and 10 both inclusive </source>
        <translation>Introduzca un número de ajuste rápido entre 1 y 10, ambos incluidos </translation>
    </message>
    <message>
        <source>There was a problem opening this file!</source>
        <translation>¡Hubo un problema al abrir este archivo!</translation>
    </message>
    <message>
        <source>There was a problem saving this file!</source>
        <translation>¡Hubo un problema al guardar este archivo!</translation>
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
        <translation>Gráficos</translation>
    </message>
    <message>
        <source>Audiogram</source>
        <translation>Audiograma</translation>
    </message>
    <message>
        <source>Measures over time</source>
        <translation>Mediciones en el tiempo</translation>
    </message>
    <message>
        <source>Diary and nights</source>
        <translation>Diario y noches</translation>
    </message>
    <message>
        <source>What helps</source>
        <translation>Qué ayuda</translation>
    </message>
    <message>
        <source>The same figures are in a table: tick &quot;Show the figures as tables&quot;.</source>
        <translation>Las mismas cifras están en una tabla: marque «Mostrar las cifras como tablas».</translation>
    </message>
    <message>
        <source>%1 as a table</source>
        <translation>%1 como tabla</translation>
    </message>
    <message>
        <source>Show the figures as ta&amp;bles</source>
        <translation>Mostrar las cifras como ta&amp;blas</translation>
    </message>
    <message>
        <source>Tables hold the same figures as the plots, for reading them aloud or copying them</source>
        <translation>Las tablas tienen las mismas cifras que los gráficos, para leerlas en voz alta o copiarlas</translation>
    </message>
    <message>
        <source>Hearing threshold, dB of full scale (lower is better hearing)</source>
        <translation>Umbral de audición, dB bajo escala completa (más bajo es mejor audición)</translation>
    </message>
    <message>
        <source>Pitch, Hz</source>
        <translation>Tono, Hz</translation>
    </message>
    <message>
        <source>dB</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>Left ear</source>
        <translation>Oído izquierdo</translation>
    </message>
    <message>
        <source>Right ear</source>
        <translation>Oído derecho</translation>
    </message>
    <message>
        <source>Tinnitus pitch %1</source>
        <translation>Tono del acúfeno %1</translation>
    </message>
    <message>
        <source>Tinnitus pitch</source>
        <translation>Tono del acúfeno</translation>
    </message>
    <message>
        <source>Pitch</source>
        <translation>Tono</translation>
    </message>
    <message>
        <source>no value</source>
        <translation>sin valor</translation>
    </message>
    <message>
        <source>Left ear, dB</source>
        <translation>Oído izquierdo, dB</translation>
    </message>
    <message>
        <source>Right ear, dB</source>
        <translation>Oído derecho, dB</translation>
    </message>
    <message>
        <source>Loudness match, dB above threshold</source>
        <translation>Igualación de sonoridad, dB sobre el umbral</translation>
    </message>
    <message>
        <source>Minimum masking level, dB above threshold</source>
        <translation>Nivel mínimo de enmascaramiento, dB sobre el umbral</translation>
    </message>
    <message>
        <source>Residual inhibition, seconds</source>
        <translation>Inhibición residual, segundos</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>segundos</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Fecha</translation>
    </message>
    <message>
        <source>Measure</source>
        <translation>Medición</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Valor</translation>
    </message>
    <message>
        <source>Diary ratings (0 to 10) with the nights beneath</source>
        <translation>Valoraciones del diario (0 a 10) con las noches debajo</translation>
    </message>
    <message>
        <source>Loudness</source>
        <translation>Sonoridad</translation>
    </message>
    <message>
        <source>Bother</source>
        <translation>Molestia</translation>
    </message>
    <message>
        <source>Sleep</source>
        <translation>Sueño</translation>
    </message>
    <message>
        <source>Morning</source>
        <translation>Mañana</translation>
    </message>
    <message>
        <source>Evening</source>
        <translation>Noche</translation>
    </message>
    <message>
        <source>Night until %1</source>
        <translation>Noche hasta %1</translation>
    </message>
    <message>
        <source>Entry</source>
        <translation>Entrada</translation>
    </message>
    <message>
        <source>Note or sounds</source>
        <translation>Nota o sonidos</translation>
    </message>
    <message>
        <source>Mean morning ratings after nights with each mix or sound</source>
        <translation>Valoraciones medias de la mañana tras noches con cada mezcla o sonido</translation>
    </message>
    <message numerus="yes">
        <source>%1 (%2, %n night(s))</source>
        <translation>
            <numerusform>%1 (%2, %n noche)</numerusform>
            <numerusform>%1 (%2, %n noches)</numerusform>
        </translation>
    </message>
    <message>
        <source>sound</source>
        <translation>sonido</translation>
    </message>
    <message>
        <source>mix</source>
        <translation>mezcla</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Sonido</translation>
    </message>
    <message>
        <source>Mix</source>
        <translation>Mezcla</translation>
    </message>
    <message>
        <source>No nights with a morning entry yet</source>
        <translation>Aún no hay noches con entrada de la mañana</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Tipo</translation>
    </message>
    <message>
        <source>Nights</source>
        <translation>Noches</translation>
    </message>
    <message>
        <source>Mean loudness</source>
        <translation>Sonoridad media</translation>
    </message>
    <message>
        <source>Mean bother</source>
        <translation>Molestia media</translation>
    </message>
    <message>
        <source>Mean sleep</source>
        <translation>Sueño medio</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::ProfilePlots</name>
    <message>
        <source>the program&apos;s libraries were not found</source>
        <translation>no se encontraron las bibliotecas del programa</translation>
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
        <translation>No se pudo abrir el diario del acúfeno (%1): %2. El reproductor funciona sin él; en esta sesión no se escribe nada en el diario.</translation>
    </message>
    <message>
        <source>How is your tinnitus this morning, and how did you sleep? The diary takes a few seconds.</source>
        <translation>¿Cómo está su acúfeno esta mañana y cómo ha dormido? El diario lleva unos segundos.</translation>
    </message>
    <message>
        <source>How was your tinnitus today? The diary takes a few seconds.</source>
        <translation>¿Cómo ha estado su acúfeno hoy? El diario lleva unos segundos.</translation>
    </message>
    <message>
        <source>Open the diary</source>
        <translation>Abrir el diario</translation>
    </message>
    <message>
        <source>The masking sound could not be kept: %1</source>
        <translation>No se pudo guardar el sonido de enmascaramiento: %1</translation>
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
        <translation>oído izquierdo</translation>
    </message>
    <message>
        <source>right ear</source>
        <translation>oído derecho</translation>
    </message>
    <message>
        <source>both ears</source>
        <translation>ambos oídos</translation>
    </message>
    <message>
        <source>My Tinnitus</source>
        <translation>Mi acúfeno</translation>
    </message>
    <message>
        <source>These measures and this diary help you follow your own tinnitus; they are self-help, not a diagnosis.</source>
        <translation>Estas mediciones y este diario le ayudan a seguir su propio acúfeno; son autoayuda, no un diagnóstico.</translation>
    </message>
    <message>
        <source>&amp;Measures</source>
        <translation>&amp;Mediciones</translation>
    </message>
    <message>
        <source>&amp;Diary</source>
        <translation>&amp;Diario</translation>
    </message>
    <message>
        <source>&amp;Plots</source>
        <translation>&amp;Gráficos</translation>
    </message>
    <message>
        <source>&amp;Report</source>
        <translation>&amp;Informe</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Cerrar</translation>
    </message>
    <message>
        <source>Sonaveil</source>
        <translation>Sonaveil</translation>
    </message>
    <message>
        <source>The result could not be kept in the diary: %1</source>
        <translation>No se pudo guardar el resultado en el diario: %1</translation>
    </message>
    <message>
        <source>Pitch ma&amp;tch…</source>
        <translation>Igualación de &amp;tono…</translation>
    </message>
    <message>
        <source>Find the pitch of your tinnitus first; the other measures use it</source>
        <translation>Busque primero el tono de su acúfeno; las demás mediciones lo usan</translation>
    </message>
    <message>
        <source>Start a measure</source>
        <translation>Empezar una medición</translation>
    </message>
    <message>
        <source>&amp;Hearing check</source>
        <translation>&amp;Prueba de audición</translation>
    </message>
    <message>
        <source>With headphones: press &quot;I hear it&quot; whenever you hear a tone, in each ear, at eleven pitches.</source>
        <translation>Con auriculares: pulse «Lo oigo» cada vez que oiga un tono, en cada oído, en once tonos.</translation>
    </message>
    <message>
        <source>&amp;Loudness match</source>
        <translation>Igualación de &amp;sonoridad</translation>
    </message>
    <message>
        <source>Make a tone at your tinnitus pitch as loud as your tinnitus.</source>
        <translation>Ajuste un tono en el tono de su acúfeno tan fuerte como su acúfeno.</translation>
    </message>
    <message>
        <source>Masking le&amp;vel</source>
        <translation>Nivel de &amp;enmascaramiento</translation>
    </message>
    <message>
        <source>Raise a noise in 1 dB steps until it just covers your tinnitus.</source>
        <translation>Suba un ruido en pasos de 1 dB hasta que apenas cubra su acúfeno.</translation>
    </message>
    <message>
        <source>Residual &amp;inhibition</source>
        <translation>Inhibición &amp;residual</translation>
    </message>
    <message>
        <source>A minute of that noise 10 dB louder, then tell how long your tinnitus stays quieter.</source>
        <translation>Un minuto de ese ruido 10 dB más fuerte; luego diga cuánto tiempo su acúfeno sigue más bajo.</translation>
    </message>
    <message>
        <source>Noise for the masking level</source>
        <translation>Ruido para el nivel de enmascaramiento</translation>
    </message>
    <message>
        <source>Pink noise</source>
        <translation>Ruido rosa</translation>
    </message>
    <message>
        <source>White noise</source>
        <translation>Ruido blanco</translation>
    </message>
    <message>
        <source>Band around the pitch</source>
        <translation>Banda alrededor del tono</translation>
    </message>
    <message>
        <source>Now</source>
        <translation>Ahora</translation>
    </message>
    <message>
        <source>Progress of the hearing check</source>
        <translation>Progreso de la prueba de audición</translation>
    </message>
    <message>
        <source>I hear it (Space)</source>
        <translation>Lo oigo (Espacio)</translation>
    </message>
    <message>
        <source>Softer (Down)</source>
        <translation>Más bajo (Abajo)</translation>
    </message>
    <message>
        <source>Louder (Up)</source>
        <translation>Más fuerte (Arriba)</translation>
    </message>
    <message>
        <source>&amp;Accept</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <source>Tr&amp;y again</source>
        <translation>Otra &amp;vez</translation>
    </message>
    <message>
        <source>S&amp;kip this pitch</source>
        <translation>Saltar este t&amp;ono</translation>
    </message>
    <message>
        <source>Back: it had gone &amp;fully</source>
        <translation>Ha vuelto: se había ido del t&amp;odo</translation>
    </message>
    <message>
        <source>Back: it had gone p&amp;artly</source>
        <translation>Ha vuelto: se &amp;había ido en parte</translation>
    </message>
    <message>
        <source>It did &amp;not change</source>
        <translation>&amp;No cambió</translation>
    </message>
    <message>
        <source>&amp;Stop (Esc)</source>
        <translation>&amp;Basta (Esc)</translation>
    </message>
    <message>
        <source>Today&apos;s entry</source>
        <translation>Entrada de hoy</translation>
    </message>
    <message>
        <source>Mor&amp;ning</source>
        <translation>Ma&amp;ñana</translation>
    </message>
    <message>
        <source>E&amp;vening</source>
        <translation>&amp;Noche</translation>
    </message>
    <message>
        <source>0 is %1, 10 is %2</source>
        <translation>0 es %1, 10 es %2</translation>
    </message>
    <message>
        <source>&amp;Loudness of the tinnitus:</source>
        <translation>&amp;Sonoridad del acúfeno:</translation>
    </message>
    <message>
        <source>not heard</source>
        <translation>no se oye</translation>
    </message>
    <message>
        <source>as loud as can be</source>
        <translation>lo más fuerte posible</translation>
    </message>
    <message>
        <source>How much it &amp;bothers:</source>
        <translation>Cuánto mo&amp;lesta:</translation>
    </message>
    <message>
        <source>not at all</source>
        <translation>nada</translation>
    </message>
    <message>
        <source>very much</source>
        <translation>mucho</translation>
    </message>
    <message>
        <source>&amp;Sleep last night:</source>
        <translation>S&amp;ueño anoche:</translation>
    </message>
    <message>
        <source>very poor</source>
        <translation>muy malo</translation>
    </message>
    <message>
        <source>very good</source>
        <translation>muy bueno</translation>
    </message>
    <message>
        <source>N&amp;ote:</source>
        <translation>No&amp;ta:</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Nota</translation>
    </message>
    <message>
        <source>Save &amp;entry</source>
        <translation>Guardar &amp;entrada</translation>
    </message>
    <message>
        <source>Offer the diary</source>
        <translation>Ofrecer el diario</translation>
    </message>
    <message>
        <source>When the player s&amp;tarts, if today&apos;s entry is missing</source>
        <translation>Al inici&amp;ar el reproductor, si falta la entrada de hoy</translation>
    </message>
    <message>
        <source>Every day &amp;at</source>
        <translation>Cada d&amp;ía a las</translation>
    </message>
    <message>
        <source>Time of the daily reminder</source>
        <translation>Hora del recordatorio diario</translation>
    </message>
    <message>
        <source>For you and your audiologist</source>
        <translation>Para usted y su audiólogo</translation>
    </message>
    <message>
        <source>E&amp;xport CSV…</source>
        <translation>E&amp;xportar CSV…</translation>
    </message>
    <message>
        <source>The diary, the nights and the measures as three CSV files for a spreadsheet</source>
        <translation>El diario, las noches y las mediciones como tres archivos CSV para una hoja de cálculo</translation>
    </message>
    <message>
        <source>Print a o&amp;ne-page report (PDF)…</source>
        <translation>Imprimir un informe de u&amp;na página (PDF)…</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>Exportar CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)|*.csv</source>
        <translation>Archivos CSV (*.csv)|*.csv</translation>
    </message>
    <message>
        <source>Print a report</source>
        <translation>Imprimir un informe</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)|*.pdf</source>
        <translation>Archivos PDF (*.pdf)|*.pdf</translation>
    </message>
    <message>
        <source>Make my masking sound</source>
        <translation>Crear mi sonido de enmascaramiento</translation>
    </message>
    <message>
        <source>A noise shaped by the equaliser to your hearing check, at your masking level, with the notch on your pitch. Try it, then keep it as the equaliser preset &quot;My masking sound&quot;, change it in the equaliser, or discard it.</source>
        <translation>Un ruido moldeado por el ecualizador según su prueba de audición, a su nivel de enmascaramiento, con el filtro de muesca en su tono. Pruébelo y luego guárdelo como el preajuste del ecualizador «My masking sound», cámbielo en el ecualizador o descártelo.</translation>
    </message>
    <message>
        <source>Make my masking so&amp;und</source>
        <translation>Crear mi sonid&amp;o</translation>
    </message>
    <message>
        <source>&amp;Keep</source>
        <translation>G&amp;uardar</translation>
    </message>
    <message>
        <source>Chan&amp;ge…</source>
        <translation>Cam&amp;biar…</translation>
    </message>
    <message>
        <source>D&amp;iscard</source>
        <translation>Desc&amp;artar</translation>
    </message>
    <message>
        <source>Your masking sound plays now. Keep it, change it, or discard it.</source>
        <translation>Su sonido de enmascaramiento suena ahora. Guárdelo, cámbielo o descártelo.</translation>
    </message>
    <message>
        <source>Kept as the equaliser preset &quot;My masking sound&quot;.</source>
        <translation>Guardado como el preajuste del ecualizador «My masking sound».</translation>
    </message>
    <message>
        <source>Discarded: the equaliser and the mix are as they were.</source>
        <translation>Descartado: el ecualizador y la mezcla quedan como estaban.</translation>
    </message>
    <message>
        <source>The entry could not be saved: %1</source>
        <translation>No se pudo guardar la entrada: %1</translation>
    </message>
    <message>
        <source>Morning entry saved.</source>
        <translation>Entrada de la mañana guardada.</translation>
    </message>
    <message>
        <source>Evening entry saved.</source>
        <translation>Entrada de la noche guardada.</translation>
    </message>
    <message>
        <source>System volume: %1 %. Use headphones, and keep this volume the same for every measure so that the results compare.</source>
        <translation>Volumen del sistema: %1 %. Use auriculares y mantenga este volumen igual en cada medición para que los resultados sean comparables.</translation>
    </message>
    <message>
        <source>System volume: not known. Use headphones, and keep the volume the same for every measure so that the results compare.</source>
        <translation>Volumen del sistema: desconocido. Use auriculares y mantenga el volumen igual en cada medición para que los resultados sean comparables.</translation>
    </message>
    <message>
        <source>Your tinnitus pitch: %1.</source>
        <translation>Tono de su acúfeno: %1.</translation>
    </message>
    <message>
        <source>No pitch matched yet: the loudness match and the band noise need one.</source>
        <translation>Aún no hay tono igualado: la igualación de sonoridad y el ruido de banda lo necesitan.</translation>
    </message>
    <message>
        <source>Match the pitch of your tinnitus first (Pitch match…).</source>
        <translation>Iguale primero el tono de su acúfeno (Igualación de tono…).</translation>
    </message>
    <message>
        <source>The band around the pitch needs a matched pitch: use Pitch match… first, or pick a noise.</source>
        <translation>La banda alrededor del tono necesita un tono igualado: use antes Igualación de tono… o elija otro ruido.</translation>
    </message>
    <message>
        <source>Find your masking level first: residual inhibition plays that noise 10 dB louder.</source>
        <translation>Halle primero su nivel de enmascaramiento: la inhibición residual reproduce ese ruido 10 dB más fuerte.</translation>
    </message>
    <message>
        <source>No measure is running. Each one starts quietly; stop it at any time with Esc.</source>
        <translation>No hay ninguna medición en curso. Cada una empieza bajo; deténgala cuando quiera con Esc.</translation>
    </message>
    <message>
        <source>This pitch took too long to settle. Rest a moment, then try it again, or skip it.</source>
        <translation>Este tono ha tardado demasiado. Descanse un momento y vuelva a intentarlo, o sáltelo.</translation>
    </message>
    <message>
        <source>The answers at this pitch did not agree with each other (a press with no tone, or a loud tone missed). Try it again, or skip it.</source>
        <translation>Las respuestas en este tono no concordaban (una pulsación sin tono o un tono fuerte no oído). Vuelva a intentarlo o sáltelo.</translation>
    </message>
    <message>
        <source>Listening at %1, %2. Press &quot;I hear it&quot; (or Space) each time you hear a tone, however faint.</source>
        <translation>Escuchando en %1, %2. Pulse «Lo oigo» (o Espacio) cada vez que oiga un tono, por débil que sea.</translation>
    </message>
    <message>
        <source>%1 above your threshold</source>
        <translation>%1 sobre su umbral</translation>
    </message>
    <message>
        <source>Tone at %1: %2. Make it softer or louder until it is as loud as your tinnitus, then Accept.</source>
        <translation>Tono en %1: %2. Bájelo o súbalo hasta que suene tan fuerte como su acúfeno y luego Aceptar.</translation>
    </message>
    <message>
        <source>Noise at %1. Raise it until it just covers your tinnitus, then Accept.</source>
        <translation>Ruido a %1. Súbalo hasta que apenas cubra su acúfeno y luego Aceptar.</translation>
    </message>
    <message>
        <source>This is as loud as the measure goes.</source>
        <translation>La medición no sube más.</translation>
    </message>
    <message numerus="yes">
        <source>Noise for %n more second(s). Then listen: is your tinnitus quieter?</source>
        <translation>
            <numerusform>Ruido durante %n segundo más. Luego escuche: ¿está su acúfeno más bajo?</numerusform>
            <numerusform>Ruido durante %n segundos más. Luego escuche: ¿está su acúfeno más bajo?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The noise has stopped. When your tinnitus is back as before, say whether it had gone fully or partly. %n second(s) so far.</source>
        <translation>
            <numerusform>El ruido ha parado. Cuando su acúfeno vuelva a ser como antes, diga si se había ido del todo o en parte. %n segundo hasta ahora.</numerusform>
            <numerusform>El ruido ha parado. Cuando su acúfeno vuelva a ser como antes, diga si se había ido del todo o en parte. %n segundos hasta ahora.</numerusform>
        </translation>
    </message>
    <message>
        <source>Your masking sound needs a hearing check and a masking level first (Measures).</source>
        <translation>Su sonido de enmascaramiento necesita antes una prueba de audición y un nivel de enmascaramiento (Mediciones).</translation>
    </message>
    <message>
        <source>The CSV files could not be written: %1</source>
        <translation>No se pudieron escribir los archivos CSV: %1</translation>
    </message>
    <message>
        <source>Exported to %1 and the two files beside it.</source>
        <translation>Exportado a %1 y a los dos archivos a su lado.</translation>
    </message>
    <message>
        <source>Tinnitus profile</source>
        <translation>Perfil del acúfeno</translation>
    </message>
    <message>
        <source>The report could not be written to %1.</source>
        <translation>No se pudo escribir el informe en %1.</translation>
    </message>
    <message>
        <source>Matched pitch: %1</source>
        <translation>Tono igualado: %1</translation>
    </message>
    <message>
        <source>%1 loudness match at %2: %3</source>
        <translation>%1 igualación de sonoridad en %2: %3</translation>
    </message>
    <message>
        <source>%1 above threshold</source>
        <translation>%1 sobre el umbral</translation>
    </message>
    <message>
        <source>%1 residual inhibition: %2 s (%3)</source>
        <translation>%1 inhibición residual: %2 s (%3)</translation>
    </message>
    <message>
        <source>Printed %1. Levels are relative to this computer and headphones (dB of full scale); self-help, not a diagnosis.</source>
        <translation>Impreso el %1. Los niveles son relativos a este ordenador y estos auriculares (dB bajo escala completa); autoayuda, no un diagnóstico.</translation>
    </message>
    <message>
        <source>What helps (mean morning loudness, bother, sleep; nights)</source>
        <translation>Qué ayuda (sonoridad, molestia y sueño medios de la mañana; noches)</translation>
    </message>
    <message>
        <source>Report written to %1.</source>
        <translation>Informe escrito en %1.</translation>
    </message>
    <message>
        <source>white noise</source>
        <translation>ruido blanco</translation>
    </message>
    <message>
        <source>pink noise</source>
        <translation>ruido rosa</translation>
    </message>
    <message>
        <source>band noise</source>
        <translation>ruido de banda</translation>
    </message>
    <message>
        <source>gone fully</source>
        <translation>se fue del todo</translation>
    </message>
    <message>
        <source>gone partly</source>
        <translation>se fue en parte</translation>
    </message>
    <message>
        <source>no change</source>
        <translation>sin cambio</translation>
    </message>
    <message>
        <source>%1 minimum masking level (%2): %3</source>
        <translation>%1 nivel mínimo de enmascaramiento (%2): %3</translation>
    </message>
    <message>
        <source>The plots cannot be shown: %1</source>
        <translation>No se pueden mostrar los gráficos: %1</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::Tray</name>
    <message>
        <source>&amp;Load</source>
        <translation>&amp;Cargar</translation>
    </message>
    <message>
        <source>&amp;Mute</source>
        <translation>&amp;Silenciar</translation>
    </message>
    <message>
        <source>Sleep in %1 min</source>
        <translation>Dormir en %1 min</translation>
    </message>
    <message>
        <source>The sounds fade out over the last 10 minutes, then stop</source>
        <translation>Los sonidos se desvanecen en los últimos 10 minutos y luego se detienen</translation>
    </message>
    <message>
        <source>Cancel sleep</source>
        <translation>Cancelar el sueño</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>S&amp;alir</translation>
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
        <translation>Sonidos enmascaradores para una noche tranquila</translation>
    </message>
</context>
<context>
    <name>sonaveil::player::catalogue</name>
    <message>
        <source>White Noise</source>
        <translation>Ruido blanco</translation>
    </message>
    <message>
        <source>Pink Noise </source>
        <translation>Ruido rosa </translation>
    </message>
    <message>
        <source>Brown Noise</source>
        <translation>Ruido marrón</translation>
    </message>
    <message>
        <source>Blue Noise</source>
        <translation>Ruido azul</translation>
    </message>
    <message>
        <source>Violet Noise</source>
        <translation>Ruido violeta</translation>
    </message>
    <message>
        <source>Rain1</source>
        <translation>Lluvia 1</translation>
    </message>
    <message>
        <source>Rain2</source>
        <translation>Lluvia 2</translation>
    </message>
    <message>
        <source>Rain3</source>
        <translation>Lluvia 3</translation>
    </message>
    <message>
        <source>Ocean</source>
        <translation>Mar</translation>
    </message>
    <message>
        <source>Cicada 1</source>
        <translation>Cigarra 1</translation>
    </message>
    <message>
        <source>Cicada 3</source>
        <translation>Cigarra 3</translation>
    </message>
    <message>
        <source>Cicada 2</source>
        <translation>Cigarra 2</translation>
    </message>
    <message>
        <source>Rain5</source>
        <translation>Lluvia 5</translation>
    </message>
    <message>
        <source>Rain4</source>
        <translation>Lluvia 4</translation>
    </message>
    <message>
        <source>Cicada3</source>
        <translation>Cigarra 3</translation>
    </message>
    <message>
        <source>Cicada2</source>
        <translation>Cigarra 2</translation>
    </message>
    <message>
        <source>Cicada1</source>
        <translation>Cigarra 1</translation>
    </message>
    <message>
        <source>Air Conditioner</source>
        <translation>Aire acondicionado</translation>
    </message>
    <message>
        <source>Air Condiioner2</source>
        <translation>Aire acondicionado 2</translation>
    </message>
    <message>
        <source>Aircraft Cabin</source>
        <translation>Cabina de avión</translation>
    </message>
    <message>
        <source>Train Cabin</source>
        <translation>Vagón de tren</translation>
    </message>
    <message>
        <source>Aquarium1</source>
        <translation>Acuario 1</translation>
    </message>
    <message>
        <source>Aquarium2</source>
        <translation>Acuario 2</translation>
    </message>
    <message>
        <source>Fan</source>
        <translation>Ventilador</translation>
    </message>
    <message>
        <source>Hoover</source>
        <translation>Aspiradora</translation>
    </message>
    <message>
        <source>Fire</source>
        <translation>Fuego</translation>
    </message>
    <message>
        <source>Hairdryer</source>
        <translation>Secador de pelo</translation>
    </message>
    <message>
        <source>Vacuum Cleaner</source>
        <translation>Aspiradora 2</translation>
    </message>
    <message>
        <source>Vacuum 2</source>
        <translation>Aspiradora 3</translation>
    </message>
    <message>
        <source>Vacuum3</source>
        <translation>Aspiradora 4</translation>
    </message>
    <message>
        <source>Vacuum4</source>
        <translation>Aspiradora 5</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::DiskGuard</name>
    <message>
        <source>Recording Stopped - The available space warning threshold has been exceeded. Please select another drive, or increase the low disk space warning threshold.<byte value="xd"/>
You selected drive %1 <byte value="xd"/>Available space on the selected drive is: %2MBs<byte value="xd"/>Disk space threshold is set at: %3MBs</source>
        <translation>Grabación detenida: se ha superado el umbral de aviso de espacio disponible. Elija otra unidad o cambie el umbral de aviso de poco espacio.<byte value="xd"/>
Ha elegido la unidad %1 <byte value="xd"/>Espacio disponible en la unidad: %2 MB <byte value="xd"/>El umbral de aviso está en: %3 MB</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Desconocido</translation>
    </message>
    <message>
        <source>Removable</source>
        <translation>Extraíble</translation>
    </message>
    <message>
        <source>Fixed</source>
        <translation>Fijo</translation>
    </message>
    <message>
        <source>Network</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>CD-ROM</source>
        <translation>CD-ROM</translation>
    </message>
    <message>
        <source>RAM Disk</source>
        <translation>Disco RAM</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::FRMMAIN</name>
    <message>
        <source>Unlimited</source>
        <translation>Sin límite</translation>
    </message>
    <message>
        <source>Don&apos;t warn</source>
        <translation>No avisar</translation>
    </message>
    <message>
        <source>VU Meters</source>
        <translation>Vúmetros</translation>
    </message>
    <message>
        <source>Oscilloscope</source>
        <translation>Osciloscopio</translation>
    </message>
    <message>
        <source>Sound Recorder</source>
        <translation>Grabadora de sonido</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Grabar</translation>
    </message>
    <message>
        <source>Stop recording</source>
        <translation>Detener la grabación</translation>
    </message>
    <message>
        <source>Stop playing</source>
        <translation>Detener la reproducción</translation>
    </message>
    <message>
        <source>Play the last recording</source>
        <translation>Reproducir la última grabación</translation>
    </message>
    <message>
        <source>MP3</source>
        <translation>MP3</translation>
    </message>
    <message>
        <source>Convert a Wav to MP3</source>
        <translation>Convertir un WAV a MP3</translation>
    </message>
    <message>
        <source>Mix</source>
        <translation>Mezclador</translation>
    </message>
    <message>
        <source>Open the mixer to configure recording source / level</source>
        <translation>Abrir el mezclador para ajustar la fuente y el nivel de grabación</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Unidad</translation>
    </message>
    <message>
        <source>View available drive space</source>
        <translation>Ver el espacio disponible</translation>
    </message>
    <message>
        <source>Dir</source>
        <translation>Carpeta</translation>
    </message>
    <message>
        <source>Open the directory containing the last recording</source>
        <translation>Abrir la carpeta de la última grabación</translation>
    </message>
    <message>
        <source>Double-click the thumb for x1.0</source>
        <translation>Doble clic en el control para x1.0</translation>
    </message>
    <message>
        <source>Playback Positioning</source>
        <translation>Posición de reproducción</translation>
    </message>
    <message>
        <source>Recording Sensitivity</source>
        <translation>Sensibilidad de grabación</translation>
    </message>
    <message>
        <source>Output Format</source>
        <translation>Formato de salida</translation>
    </message>
    <message>
        <source>Driver</source>
        <translation>Controlador</translation>
    </message>
    <message>
        <source>Low disk space threshold in MB</source>
        <translation>Umbral de poco espacio en MB</translation>
    </message>
    <message>
        <source>Recording length limit in minutes</source>
        <translation>Límite de duración en minutos</translation>
    </message>
    <message>
        <source>Stop on low dsk space</source>
        <translation>Parar con poco espacio</translation>
    </message>
    <message>
        <source>MB</source>
        <translation>MB</translation>
    </message>
    <message>
        <source>Limit recording length</source>
        <translation>Limitar la duración</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>min</translation>
    </message>
    <message>
        <source>Sound Editor</source>
        <translation>Editor de sonido</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Ocultar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>Calidad</translation>
    </message>
    <message>
        <source>Style</source>
        <translation>Estilo</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>Repetir</translation>
    </message>
    <message>
        <source>Disable Internal Rendering Engine</source>
        <translation>Desactivar el dibujo interno</translation>
    </message>
    <message>
        <source>&amp;Start VU</source>
        <translation>&amp;Iniciar vúmetro</translation>
    </message>
    <message>
        <source>Start Monitoring</source>
        <translation>Iniciar la monitorización</translation>
    </message>
    <message>
        <source>S&amp;top VU</source>
        <translation>&amp;Detener vúmetro</translation>
    </message>
    <message>
        <source>Stop Monitoring</source>
        <translation>Detener la monitorización</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::Form1</name>
    <message>
        <source>Recording Help</source>
        <translation>Ayuda para grabar</translation>
    </message>
    <message>
        <source>Recording Setup Information</source>
        <translation>Información sobre la configuración de grabación</translation>
    </message>
    <message>
        <source>PulseAudio Setup Instructions</source>
        <translation>Instrucciones para PulseAudio</translation>
    </message>
    <message>
        <source>PipeWire Setup Instructions</source>
        <translation>Instrucciones para PipeWire</translation>
    </message>
    <message>
        <source>Show this form in future</source>
        <translation>Mostrar esta ventana en el futuro</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>If you are unsure about how to configure the recording settings of your desktop, please click the appropriate button below</source>
        <translation>Si no sabe bien cómo configurar los ajustes de grabación de su escritorio, pulse el botón correspondiente más abajo</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::LevelMeter</name>
    <message>
        <source>Recording level</source>
        <translation>Nivel de grabación</translation>
    </message>
    <message>
        <source>Left %1 %, right %2 %</source>
        <translation>Izquierda %1 %, derecha %2 %</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::Mp3Converter</name>
    <message>
        <source>The converter &quot;%1&quot; could not be started.</source>
        <translation>No se pudo iniciar el conversor «%1».</translation>
    </message>
    <message>
        <source>The converter &quot;%1&quot; is missing.</source>
        <translation>Falta el conversor «%1».</translation>
    </message>
    <message>
        <source>The converter produced no MP3.</source>
        <translation>El conversor no produjo ningún MP3.</translation>
    </message>
    <message>
        <source>The converter stopped unexpectedly.</source>
        <translation>El conversor se detuvo de forma inesperada.</translation>
    </message>
    <message>
        <source>The MP3 would replace the recording itself.</source>
        <translation>El MP3 reemplazaría la propia grabación.</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::QtDialogs</name>
    <message>
        <source>A file name cannot contain the character &quot;. Please choose another name.</source>
        <translation>Un nombre de archivo no puede contener el carácter &quot;. Elija otro nombre, por favor.</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::RecorderSession</name>
    <message>
        <source>Save Sampled Audio</source>
        <translation>Guardar el audio grabado</translation>
    </message>
    <message>
        <source>MP3 Files, recorded as WAV and converted at Stop|*.mp3;*.wav</source>
        <translation>Archivos MP3, grabados como WAV y convertidos al detener|*.mp3;*.wav</translation>
    </message>
    <message>
        <source>Wave Files|*.wav</source>
        <translation>Archivos WAV|*.wav</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Advertencia</translation>
    </message>
    <message>
        <source>Recording over an existing file will append the recorded audio to the file.<byte value="xd"/>
Are you sure this is what you want to do?</source>
        <translation>Grabar sobre un archivo existente añadirá el audio grabado al archivo.<byte value="xd"/>
¿Seguro que desea hacerlo?</translation>
    </message>
    <message>
        <source>The control could not start recording</source>
        <translation>No se pudo iniciar la grabación</translation>
    </message>
    <message>
        <source>Please choose a wav file to convert.</source>
        <translation>Elija un archivo WAV para convertir.</translation>
    </message>
    <message>
        <source>Wav Files (*.wav)|*.wav|Wav Files (*.*)|*.*</source>
        <translation>Archivos WAV (*.wav)|*.wav|Archivos WAV (*.*)|*.*</translation>
    </message>
    <message>
        <source>Please choose an existing wav file.</source>
        <translation>Elija un archivo WAV existente.</translation>
    </message>
    <message>
        <source>Please choose a filename for your Mp3.</source>
        <translation>Elija un nombre de archivo para su MP3.</translation>
    </message>
    <message>
        <source>Mp3 Files (*.mp3)|*.mp3|mp3 Files (*.*)|*.*</source>
        <translation>Archivos MP3 (*.mp3)|*.mp3|Archivos MP3 (*.*)|*.*</translation>
    </message>
    <message>
        <source>This will overwrite an existing Mp3. Would you like to continue?</source>
        <translation>Esto sobrescribirá un MP3 existente. ¿Desea continuar?</translation>
    </message>
    <message>
        <source>The recording could not be converted to MP3: %1<byte value="xd"/>
The WAV file was kept: %2</source>
        <translation>No se pudo convertir la grabación a MP3: %1<byte value="xd"/>
Se conservó el archivo WAV: %2</translation>
    </message>
    <message>
        <source>The Mp3 could not be created: %1</source>
        <translation>No se pudo crear el MP3: %1</translation>
    </message>
    <message>
        <source>Your Mp3 has been created:  %1. Would you like to view the file?</source>
        <translation>Su MP3 se ha creado:  %1. ¿Desea ver el archivo?</translation>
    </message>
    <message>
        <source>No recording mixer was found. Install &quot;pavucontrol&quot; (PulseAudio Volume Control) to choose the recording source and its level.</source>
        <translation>No se encontró ningún mezclador de grabación. Instale «pavucontrol» (control de volumen de PulseAudio) para elegir la fuente y el nivel de grabación.</translation>
    </message>
    <message>
        <source>Could not open the mixer, please contact support</source>
        <translation>No se pudo abrir el mezclador; póngase en contacto con el soporte</translation>
    </message>
    <message>
        <source>No file has yet been recorded during this session.</source>
        <translation>Todavía no se ha grabado ningún archivo en esta sesión.</translation>
    </message>
    <message>
        <source>The directory could not be opened.</source>
        <translation>No se pudo abrir la carpeta.</translation>
    </message>
    <message>
        <source>There was a problem loading the editor. The file could not be found.</source>
        <translation>Hubo un problema al cargar el editor. No se encontró el archivo.</translation>
    </message>
    <message>
        <source>The settings file &quot;%1&quot; could not be written: the lists will not be kept.</source>
        <translation>No se pudo escribir el archivo de ajustes «%1»: las listas no se conservarán.</translation>
    </message>
</context>
<context>
    <name>sonaveil::recorder::frmDRIVE</name>
    <message>
        <source>Available Drive Space</source>
        <translation>Espacio disponible en las unidades</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Volumen</translation>
    </message>
    <message>
        <source>Total Space</source>
        <translation>Espacio total</translation>
    </message>
    <message>
        <source>Free Space</source>
        <translation>Espacio libre</translation>
    </message>
    <message>
        <source>Used Space</source>
        <translation>Espacio usado</translation>
    </message>
    <message>
        <source>Drive Type</source>
        <translation>Tipo de unidad</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Drives</source>
        <translation>Unidades</translation>
    </message>
</context>
</TS>
