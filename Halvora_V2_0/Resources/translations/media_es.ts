<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Nessuna riproduzione</source>
        <translation>Nada en reproducción</translation>
    </message>
    <message>
        <source>Controlli di sistema — il player in uso non fornisce i dati del brano.</source>
        <translation>Controles del sistema: el reproductor en uso no proporciona los datos de la canción.</translation>
    </message>
    <message>
        <source>In diretta</source>
        <translation>En directo</translation>
    </message>
    <message>
        <source>Guarda nella tacca</source>
        <translation>Ver en el notch</translation>
    </message>
    <message>
        <source>Apri «%1» sotto la tacca</source>
        <translation>Abrir «%1» bajo el notch</translation>
    </message>
</context>
</TS>
