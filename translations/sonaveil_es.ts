<?xml version='1.0' encoding='utf-8'?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
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
</TS>