<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Alimentatore collegato</source>
        <translation>Adaptador de corriente conectado</translation>
    </message>
    <message>
        <source>Alimentazione a batteria</source>
        <translation>Funcionando con batería</translation>
    </message>
    <message>
        <source>In carica</source>
        <translation>Cargando</translation>
    </message>
    <message>
        <source>File ricevuto</source>
        <translation>Archivo recibido</translation>
    </message>
    <message>
        <source>Screenshot catturato</source>
        <translation>Captura de pantalla realizada</translation>
    </message>
    <message>
        <source>Aggiunto al vassoio</source>
        <translation>Añadido a la bandeja</translation>
    </message>
    <message>
        <source>%1 è tornato</source>
        <translation>%1 ha vuelto</translation>
    </message>
    <message>
        <source>Limite di 5 ore azzerato</source>
        <translation>Límite de 5 horas restablecido</translation>
    </message>
    <message>
        <source>Limite di 7 giorni azzerato</source>
        <translation>Límite de 7 días restablecido</translation>
    </message>
</context>
</TS>
